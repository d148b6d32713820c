#include "platform/shell.h"

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

namespace platform {

static_assert(kFoMove == FO_MOVE && kFoCopy == FO_COPY && kFoDelete == FO_DELETE &&
              kFoRename == FO_RENAME);
static_assert(kFofMultiDestFiles == FOF_MULTIDESTFILES && kFofSilent == FOF_SILENT &&
              kFofNoConfirmation == FOF_NOCONFIRMATION);

int ShellFileOperation(ShellFileOpRequest& request) {
    SHFILEOPSTRUCTA op{};
    op.hwnd = static_cast<HWND>(request.hwnd);
    op.wFunc = request.wFunc;
    op.pFrom = request.pFrom;
    op.pTo = request.pTo;
    op.fFlags = request.fFlags;
    op.fAnyOperationsAborted = request.fAnyOperationsAborted;
    op.hNameMappings = request.hNameMappings;
    op.lpszProgressTitle = request.lpszProgressTitle;
    int result = SHFileOperationA(&op);
    request.fAnyOperationsAborted = op.fAnyOperationsAborted;
    return result;
}

}  // namespace platform

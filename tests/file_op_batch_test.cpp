#include "fileops/file_op_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::ShellFileOpRequest;

namespace {

// What the shell was handed, with the path buffers copied out byte for byte.
struct RecordedCall {
    unsigned wFunc = 0;
    platform::WindowHandle hwnd = nullptr;
    std::uint16_t fFlags = 0;
    std::string from;
    std::string to;
    bool toIsNull = false;
    std::string title;
};

std::string CopyBuffer(const char* buffer) {
    size_t size = 0;
    while (buffer[size] != '\0' || buffer[size + 1] != '\0') {
        ++size;
    }
    return std::string(buffer, size + 2);
}

class FileOpBatchTest : public ::testing::Test {
  protected:
    CFileOpBatch MakeBatch(int result = 0, int aborted = 0) {
        return CFileOpBatch([this, result, aborted](ShellFileOpRequest& request) {
            RecordedCall call;
            call.wFunc = request.wFunc;
            call.hwnd = request.hwnd;
            call.fFlags = request.fFlags;
            call.from = CopyBuffer(request.pFrom);
            call.toIsNull = request.pTo == nullptr;
            call.to = call.toIsNull ? std::string() : CopyBuffer(request.pTo);
            call.title = request.lpszProgressTitle;
            request.fAnyOperationsAborted = aborted;
            calls.push_back(call);
            return result;
        });
    }

    std::vector<RecordedCall> calls;
};

TEST_F(FileOpBatchTest, RefusesIncompleteRequestsWithoutCallingTheShell) {
    CFileOpBatch batch = MakeBatch();
    batch.AddSourceFile("a");
    batch.AddDestFile("b");
    int started = 7, result = 7, aborted = 7;
    EXPECT_EQ(batch.Run(&started, &result, &aborted), 0);  // no SetOperation yet
    EXPECT_EQ(started, 0);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(aborted, 7);

    for (unsigned op : {0u, 5u}) {
        batch.SetOperation(op, nullptr, 0);
        EXPECT_EQ(batch.Run(), 0) << op;
    }

    CFileOpBatch noSources = MakeBatch();
    noSources.SetOperation(platform::kFoCopy, nullptr, 0);
    noSources.AddDestFile("b");
    EXPECT_EQ(noSources.Run(), 0);

    CFileOpBatch noDest = MakeBatch();
    noDest.SetOperation(platform::kFoMove, nullptr, 0);
    noDest.AddSourceFile("a");
    EXPECT_EQ(noDest.Run(), 0);

    CFileOpBatch threeForTwo = MakeBatch();
    threeForTwo.SetOperation(platform::kFoCopy, nullptr, 0);
    threeForTwo.AddSourceFile("a");
    threeForTwo.AddSourceFile("b");
    for (const char* d : {"x", "y", "z"}) {
        threeForTwo.AddDestFile(d);
    }
    EXPECT_EQ(threeForTwo.Run(&started), 0);
    EXPECT_EQ(threeForTwo.m_bStarted, 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(FileOpBatchTest, CopyRequestCarriesDoubleNulBuffersAndFlags) {
    CFileOpBatch batch = MakeBatch();
    int owner = 0;
    batch.SetOperation(platform::kFoCopy, &owner, 0x0014);
    batch.AddSourceFile("a");
    batch.AddSourceFile("bc");
    batch.AddDestFile("C:\\dest\\");
    int started = 0;
    EXPECT_EQ(batch.Run(&started), 1);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(batch.m_bStarted, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].wFunc, 2u);
    EXPECT_EQ(calls[0].hwnd, &owner);
    EXPECT_EQ(calls[0].fFlags, 0x0014);  // one destination: no multi-destination flag
    EXPECT_EQ(calls[0].from, std::string("a\0bc\0\0", 6));
    EXPECT_EQ(calls[0].to, std::string("C:\\dest\\\0\0", 10));
    EXPECT_EQ(calls[0].title, "");

    // The lists stay: a second run repeats the request.
    EXPECT_EQ(batch.Run(), 1);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(FileOpBatchTest, SeveralDestinationsAddTheMultiDestinationFlagUntilReset) {
    CFileOpBatch batch = MakeBatch();
    batch.SetOperation(platform::kFoCopy, nullptr, platform::kFofSilent);
    batch.AddSourceFile("a");
    batch.AddSourceFile("b");
    batch.AddDestFile("x");
    batch.AddDestFile("y");
    EXPECT_EQ(batch.Run(), 1);
    EXPECT_EQ(calls[0].fFlags, platform::kFofSilent | platform::kFofMultiDestFiles);
    EXPECT_EQ(calls[0].hwnd, nullptr);
    EXPECT_EQ(batch.m_fileOp.fFlags, platform::kFofSilent | platform::kFofMultiDestFiles);

    batch.SetOperation(platform::kFoCopy, nullptr, platform::kFofSilent);
    EXPECT_EQ(batch.m_fileOp.fFlags, platform::kFofSilent);

    batch.Reset();
    EXPECT_EQ(batch.m_bReady, 0);
    EXPECT_EQ(batch.m_bStarted, 0);
    EXPECT_TRUE(batch.m_sourceFiles.empty());
    EXPECT_TRUE(batch.m_destFiles.empty());
    EXPECT_EQ(batch.m_fileOp.fFlags, 0);
    EXPECT_EQ(batch.m_fileOp.wFunc, 0u);
}

TEST_F(FileOpBatchTest, DeleteNeedsNoDestinationAndPassesNullTo) {
    CFileOpBatch batch = MakeBatch();
    batch.SetOperation(platform::kFoDelete, nullptr, 0);
    batch.AddSourceFile("gone.bgl");
    EXPECT_EQ(batch.Run(), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].toIsNull);
    EXPECT_EQ(calls[0].from, std::string("gone.bgl\0\0", 10));
}

TEST_F(FileOpBatchTest, ShellResultDecidesAndAbortOnlyShowsInItsOutValue) {
    CFileOpBatch failing = MakeBatch(1026);
    failing.SetOperation(platform::kFoCopy, nullptr, 0);
    failing.AddSourceFile("a");
    failing.AddDestFile("b");
    int started = 0, result = 0, aborted = 5;
    EXPECT_EQ(failing.Run(&started, &result, &aborted), 0);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(result, 1026);
    EXPECT_EQ(aborted, 0);

    CFileOpBatch aborting = MakeBatch(0, 1);
    aborting.SetOperation(platform::kFoCopy, nullptr, 0);
    aborting.AddSourceFile("a");
    aborting.AddDestFile("b");
    EXPECT_EQ(aborting.Run(&started, &result, &aborted), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(aborted, 1);
}

TEST(FileOpBatchBufferTest, SizeAndBytes) {
    EXPECT_EQ(CFileOpBatch::GetBufferSize({}), 1);
    CFileOpBatch::PathList list = {"a", "bc"};
    ASSERT_EQ(CFileOpBatch::GetBufferSize(list), 6);
    char buffer[7] = {'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    CFileOpBatch::FillBuffer(buffer, list);
    EXPECT_EQ(std::string(buffer, 7), std::string("a\0bc\0\0x", 7));
    char empty[2] = {'x', 'x'};
    CFileOpBatch::FillBuffer(empty, {});
    EXPECT_EQ(std::string(empty, 2), std::string("\0x", 2));
}

}  // namespace

#include "fileops/file_op_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using platform::ShellFileOpRequest;

namespace {

// What the shell was handed, with the path buffers copied out byte for byte
// (an empty `to` for a null pTo).
struct RecordedCall {
    ShellFileOpRequest request;
    std::string from, to, title;
};

std::string CopyBuffer(const char* buffer) {
    size_t size = 0;
    while (buffer != nullptr && (buffer[size] != '\0' || buffer[size + 1] != '\0')) {
        ++size;
    }
    return buffer == nullptr ? std::string() : std::string(buffer, size + 2);
}

class FileOpBatchTest : public ::testing::Test {
  protected:
    CFileOpBatch MakeBatch(int result = 0, int aborted = 0) {
        return CFileOpBatch([this, result, aborted](ShellFileOpRequest& request) {
            calls.push_back({request, CopyBuffer(request.pFrom), CopyBuffer(request.pTo),
                             request.lpszProgressTitle});
            request.fAnyOperationsAborted = aborted;
            return result;
        });
    }

    std::vector<RecordedCall> calls;
};

TEST_F(FileOpBatchTest, RefusesIncompleteRequestsWithoutCallingTheShell) {
    struct Case {
        const char* what;
        unsigned operation;  // 0: no SetOperation at all
        std::vector<std::string> sources, destinations;
    };
    const Case cases[] = {
        {"not ready", 0, {"a"}, {"b"}},
        {"operation 0", 100, {"a"}, {"b"}},
        {"operation 5", 5, {"a"}, {"b"}},
        {"no source", platform::kFoCopy, {}, {"b"}},
        {"no destination", platform::kFoMove, {"a"}, {}},
        {"three for two", platform::kFoCopy, {"a", "b"}, {"x", "y", "z"}},
    };
    for (const Case& c : cases) {
        CFileOpBatch batch = MakeBatch();
        if (c.operation != 0) {
            batch.SetOperation(c.operation == 100 ? 0 : c.operation, nullptr, 0);
        }
        for (const std::string& path : c.sources) {
            batch.AddSourceFile(path);
        }
        for (const std::string& path : c.destinations) {
            batch.AddDestFile(path);
        }
        int started = 7, result = 7, aborted = 7;
        EXPECT_EQ(batch.Run(&started, &result, &aborted), 0) << c.what;
        EXPECT_EQ(started, 0) << c.what;
        EXPECT_EQ(result, 7) << c.what;  // left as it was
        EXPECT_EQ(aborted, 7) << c.what;
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(FileOpBatchTest, CopyRequestCarriesDoubleNulBuffersAndFlags) {
    CFileOpBatch batch = MakeBatch();
    int owner = 0;
    batch.SetOperation(platform::kFoCopy, &owner, 0x0014);
    batch.AddSourceFile("a");
    batch.AddSourceFile("bc");
    batch.AddDestFile("C:\\dest\\");
    EXPECT_EQ(batch.Run(), 1);
    // The lists stay: a second run repeats the request, now with one
    // destination per source and the multi-destination flag.
    batch.AddDestFile("y");
    EXPECT_EQ(batch.Run(), 1);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].request.wFunc, 2u);
    EXPECT_EQ(calls[0].request.hwnd, &owner);
    EXPECT_EQ(calls[0].request.fFlags, 0x0014);
    EXPECT_EQ(calls[0].from, std::string("a\0bc\0\0", 6));
    EXPECT_EQ(calls[0].to, std::string("C:\\dest\\\0\0", 10));
    EXPECT_EQ(calls[0].title, "");
    EXPECT_EQ(calls[1].request.fFlags, 0x0014 | platform::kFofMultiDestFiles);
    EXPECT_EQ(calls[1].to, std::string("C:\\dest\\\0y\0\0", 12));

    // The flag stays until the next SetOperation.
    EXPECT_EQ(batch.m_fileOp.fFlags, 0x0014 | platform::kFofMultiDestFiles);
    batch.SetOperation(platform::kFoCopy, nullptr, platform::kFofSilent);
    EXPECT_EQ(batch.m_fileOp.fFlags, platform::kFofSilent);
}

TEST_F(FileOpBatchTest, DeleteNeedsNoDestinationAndTheShellResultDecides) {
    CFileOpBatch deleting = MakeBatch();
    deleting.SetOperation(platform::kFoDelete, nullptr, 0);
    deleting.AddSourceFile("gone.bgl");
    EXPECT_EQ(deleting.Run(), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request.pTo, nullptr);
    EXPECT_EQ(calls[0].from, std::string("gone.bgl\0\0", 10));

    // A failure is the shell's result alone; an abort shows only in its
    // out-value.
    for (auto [shell, aborts, expected] : {std::tuple{1026, 0, 0}, std::tuple{0, 1, 1}}) {
        CFileOpBatch batch = MakeBatch(shell, aborts);
        batch.SetOperation(platform::kFoCopy, nullptr, 0);
        batch.AddSourceFile("a");
        batch.AddDestFile("b");
        int started = 0, result = 7, aborted = 7;
        EXPECT_EQ(batch.Run(&started, &result, &aborted), expected);
        EXPECT_EQ(started, 1);
        EXPECT_EQ(result, shell);
        EXPECT_EQ(aborted, aborts);
    }
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

#include "platform/file_system.h"

#include <algorithm>
#include <vector>

#include "platform/path_names.h"
#include "platform/process.h"

namespace platform {

namespace {

// Fills the buffer from the reader as far as the file goes: the bytes read,
// or -1 when reading failed.
long long ReadFull(FileReader& reader, char* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const long long got = reader.Read(buffer + done, size - done);
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<long long>(done);
}

}  // namespace

bool Refuse(Failure failure, std::string* reason) {
    *reason = FailureText(failure);
    return false;
}

std::string TemporarySiblingOf(const std::string& path, int attempt) {
    std::string sibling = path + "." + std::to_string(CurrentProcessId());
    if (attempt > 0) {
        sibling += "-" + std::to_string(attempt);
    }
    return sibling + ".tmp";
}

ReadResult ReadInPieces(FileSystem& fs, const std::string& path, const PieceReader& read,
                        std::string* reason) {
    std::unique_ptr<FileReader> reader = fs.OpenForReading(path, reason);
    if (reader == nullptr) {
        return ReadResult::kCannotOpen;
    }
    std::vector<char> piece(kReadPieceSize);
    for (;;) {
        const long long got = reader->Read(piece.data(), piece.size());
        if (got <= 0) {
            return got == 0 ? ReadResult::kComplete : ReadResult::kPartial;
        }
        if (!read(std::string_view(piece.data(), static_cast<size_t>(got)))) {
            return ReadResult::kPartial;
        }
    }
}

ReadResult ReadWhole(FileSystem& fs, const std::string& path, std::string* bytes,
                     std::string* reason) {
    bytes->clear();
    return ReadInPieces(
        fs, path,
        [bytes](std::string_view piece) {
            bytes->append(piece);
            return true;
        },
        reason);
}

bool SameContent(FileSystem& fs, const std::string& a, const std::string& b) {
    const Entry first = fs.Stat(a);
    const Entry second = fs.Stat(b);
    if (first.kind != EntryKind::kFile || second.kind != EntryKind::kFile ||
        first.size != second.size) {
        return false;
    }
    std::string ignored;
    std::unique_ptr<FileReader> readerA = fs.OpenForReading(a, &ignored);
    std::unique_ptr<FileReader> readerB = fs.OpenForReading(b, &ignored);
    if (readerA == nullptr || readerB == nullptr) {
        return false;
    }
    std::vector<char> pieceA(kReadPieceSize);
    std::vector<char> pieceB(kReadPieceSize);
    for (;;) {
        const long long gotA = ReadFull(*readerA, pieceA.data(), pieceA.size());
        const long long gotB = ReadFull(*readerB, pieceB.data(), pieceB.size());
        if (gotA < 0 || gotB < 0 || gotA != gotB ||
            !std::equal(pieceA.data(), pieceA.data() + static_cast<size_t>(gotA), pieceB.data())) {
            return false;
        }
        if (gotA == 0) {
            return true;
        }
    }
}

}  // namespace platform

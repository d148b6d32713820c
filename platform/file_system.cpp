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

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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

bool IsTemporaryOf(const std::string& name, const std::string& fileName) {
    const std::string_view text(name);
    if (text.size() < fileName.size() + 4) {
        return false;
    }
    const size_t end = text.size() - 4;
    if (!SameFileName(text.substr(end), ".tmp") ||
        !SameFileName(text.substr(0, fileName.size()), fileName)) {
        return false;
    }
    // The name then ".tmp", or ".<process>.tmp", or ".<process>-<attempt>.tmp".
    std::string_view middle = text.substr(fileName.size(), end - fileName.size());
    if (middle.empty()) {
        return true;
    }
    if (middle.front() != '.') {
        return false;
    }
    middle.remove_prefix(1);
    const size_t dash = middle.find('-');
    return AllDigits(middle.substr(0, dash)) &&
           (dash == std::string_view::npos || AllDigits(middle.substr(dash + 1)));
}

bool FileSystem::BeingWritten(const std::string& path) {
    // Gone: its run has given it the file's name.
    if (Stat(path).kind == EntryKind::kNone) {
        return true;
    }
    std::string reason;
    const std::unique_ptr<FileReader> reader = OpenForReading(path, &reason);
    return reader != nullptr ? reader->HeldByWriter() : reason == FailureText(Failure::kInUse);
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

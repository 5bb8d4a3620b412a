#include "import/line_reader.h"

#include <cstring>

namespace zp {

namespace {
// A tail shorter than one piece is carried to the front of the buffer before the
// next block is read behind it.
constexpr std::size_t kCarry = LineReader::kMaxPiece + 1;
}  // namespace

LineReader::LineReader(std::size_t blockSize)
    : blockSize_(blockSize < kCarry ? kCarry : blockSize),
      block_(kCarry),
      buffer_(new char[block_ + kCarry]) {}

bool LineReader::open(const QString& path) {
    return open(path, 0);
}

bool LineReader::open(const QString& path, qint64 from) {
    close();
    file_.setFileName(path);
    // No QIODevice::Text: the carriage-return handling is done here, the same on
    // every platform.
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
    // A block as large as the file reads it whole (a file that grows meanwhile is
    // read in more blocks, with the same pieces); never less than one piece.
    const qint64 size = file_.size() - from;
    std::size_t block = blockSize_;
    if (size >= 0 && static_cast<std::size_t>(size) < block)
        block = static_cast<std::size_t>(size) < kCarry ? kCarry : static_cast<std::size_t>(size);
    if (block > block_) {
        buffer_.reset(new char[block + kCarry]);
        block_ = block;
    }
    if (seek(from)) return true;
    close();
    return false;
}

bool LineReader::seek(qint64 from) {
    if (!file_.isOpen() || !file_.seek(from)) return false;
    begin_ = end_ = 0;
    offset_ = from;
    eof_ = false;
    return true;
}

void LineReader::close() {
    if (file_.isOpen()) file_.close();
    begin_ = end_ = 0;
    eof_ = true;
}

bool LineReader::refill() {
    if (eof_) return false;
    const std::size_t tail = end_ - begin_;
    if (tail > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, tail);
    begin_ = 0;
    end_ = tail;
    const qint64 n = file_.read(buffer_.get() + end_, static_cast<qint64>(block_));
    if (n < 0) {
        // A read error ends the file; the unfinished piece is dropped, as fgets does.
        eof_ = true;
        begin_ = end_ = 0;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(n);
    return true;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        char* const base = buffer_.get();
        const std::size_t avail = end_ - begin_;
        char* const start = base + begin_;
        // Only the first kMaxPiece + 1 characters can end this piece: a line feed
        // there (possibly preceded by a carriage return that folds into it).
        const std::size_t window = avail < kCarry ? avail : kCarry;
        if (void* hit = std::memchr(start, '\n', window)) {
            char* const lf = static_cast<char*>(hit);
            std::size_t rawLength = static_cast<std::size_t>(lf - start) + 1;
            std::size_t length = rawLength;
            if (lf > start && lf[-1] == '\r') {
                lf[-1] = '\n';  // "\r\n" reads as "\n"
                --length;
            }
            if (length <= static_cast<std::size_t>(kMaxPiece)) {
                line = std::string_view(start, length);
                begin_ += rawLength;
                offset_ += static_cast<qint64>(rawLength);
                return true;
            }
            // The line feed falls just past the limit: deliver the first 999.
            line = std::string_view(start, kMaxPiece);
            begin_ += kMaxPiece;
            offset_ += kMaxPiece;
            return true;
        }
        if (avail >= kCarry) {
            // No line feed among the next 1000 characters: a full piece without one.
            line = std::string_view(start, kMaxPiece);
            begin_ += kMaxPiece;
            offset_ += kMaxPiece;
            return true;
        }
        if (!refill()) {
            if (end_ == begin_) return false;
            // End of file: what is left is the last piece, at most 999 characters.
            line = std::string_view(base + begin_, end_ - begin_);
            offset_ += static_cast<qint64>(end_ - begin_);
            begin_ = end_;
            return true;
        }
    }
}

}  // namespace zp

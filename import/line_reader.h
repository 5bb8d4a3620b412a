// Reads a log file the way the C line reader fgets(buffer, 1000, file) reads a file
// opened in text mode on Windows: a carriage return followed by a line feed reads as
// one line feed (a lone carriage return is kept), and each call delivers at most 999
// characters, the line feed included when it fits. A longer line comes in pieces.
// The file is read in large blocks; a line costs no allocation. The block buffer is
// sized at open to the file, up to the block size, so a small file costs a small one.
#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <string_view>

namespace zp {

class LineReader {
  public:
    static constexpr int kMaxPiece = 999;  // characters per line, as fgets with 1000

    explicit LineReader(std::size_t blockSize = std::size_t{1} << 20);

    // Opens the file for reading; false when it cannot be opened.
    bool open(const QString& path);
    // Opens the file for reading from byte `from` on, as if the file began there.
    bool open(const QString& path, qint64 from);
    // Reads the open file on from byte `from`, as if it began there; false when the
    // file is not open or cannot go there.
    bool seek(qint64 from);
    void close();

    // The byte of the file where the next piece starts.
    qint64 position() const { return offset_; }

    // The next piece of the file, valid until the next call. False at the end of the
    // file or on a read error (the characters read before an error are dropped).
    bool next(std::string_view& line);

  private:
    bool refill();

    QFile file_;
    std::size_t blockSize_;           // the most read at a time
    std::size_t block_;               // read at a time: the largest file's, <= blockSize_
    std::unique_ptr<char[]> buffer_;  // block_ plus room for a carried-over tail
    std::size_t begin_ = 0;           // first unread character
    std::size_t end_ = 0;             // one past the last character read
    qint64 offset_ = 0;               // the file byte of buffer_[begin_]
    bool eof_ = false;
};

}  // namespace zp

#pragma once
#include <QByteArray>
#include <QString>

class QFile;

// An input file's bytes, read whole into memory that is mapped and filled in one call. Read into
// a growing buffer, a 10 MB file cost 2,500 page faults, a third of converting it to text.
class InputBytes {
public:
    // Reads the open `file` to its end; `error()` tells what went wrong, if anything.
    explicit InputBytes(QFile& file);
    ~InputBytes();
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;

    // The bytes, valid while this object lives.
    const QByteArray& bytes() const { return bytes_; }
    // Lets the memory go before this object does.
    void release();
    QString error() const { return error_; }

private:
    void* mapped_ = nullptr;
    size_t mappedSize_ = 0;
    QByteArray bytes_;
    QString error_;
};

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// A batch's inputs in their order: the names on the command line, and for an INPUT of "-" the
// names listed on standard input, one a line (LF or CRLF line ends, empty lines skipped). The
// list is read as it comes, a name at a time, never held whole: a list of a million names costs
// what a short one does, and work starts on the first name while the rest are still coming. Its
// reader never waits for the list, so the batch can wait for it and its workers at once.
class InputList {
public:
    struct Input {
        QString path;
        bool listed = false; // from the list on standard input, else from the command line
        qint64 number = 0;   // the list's line, or the command line's INPUT, from 1
        QString problem;     // why a line of the list gives no name, else empty
    };

    explicit InputList(const QStringList& inputs);

    enum class Status {
        Given, // an input
        Later, // none yet: the list has no more lines for now (standard input becomes readable)
        End,   // no more inputs
    };
    // The next input; never waits for the list.
    Status next(Input& input);
    // How many inputs there are in all, once known: from the start when the list comes from a
    // file, when it ends when it comes from a pipe; -1 until then.
    qint64 total() const { return total_; }
    // The INPUTs of the command line, "-" among them.
    const QStringList& given() const { return given_; }

private:
    Status nextListed(Input& input);
    bool readMore();
    qint64 namesAfter(qint64 argument) const;

    QStringList given_;
    qsizetype at_ = 0;       // the next INPUT of the command line
    bool listing_ = false;   // between lines of the list
    bool listRead_ = false;  // standard input has been read to its end
    qint64 line_ = 0;        // lines of the list read
    qint64 listedNames_ = 0; // names it gave
    qint64 total_ = -1;
    QByteArray buffer_; // what was read and not yet taken, from start_
    qsizetype start_ = 0;
    bool overlong_ = false; // within a line too long for a name, dropped as it comes
};

#pragma once

#include <QString>
#include <cstdint>

class Wordbox;

// Program-wide state and the start-up routine. Flags are 16-bit: -1 true, 0 false.
namespace Module1 {
constexpr int16_t True = -1;
constexpr int16_t False = 0;

extern int16_t OpenDocCount;
extern int16_t CloseCancelled;
extern int16_t ReadingFile;
extern QString CommandFile;

// Throws the overflow error instead of wrapping past 32767.
void countDocumentIn();
void countDocumentOut();

// The command line as one string, the way the program receives it.
QString commandLine();
void setCommandLineForTests(const QString& line);

void Main();

// Brings the toolbar in line with the selection of `document`.
void SyncToolbar(Wordbox* document);
} // namespace Module1

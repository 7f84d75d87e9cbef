#pragma once

#include <QFile>
#include <QList>
#include <algorithm>
#include <ctime>

// What the benchmarks measure besides wall time: the process's CPU time, which counts work
// done on other threads too, and its peak resident memory.
namespace measure {

inline double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline double wallMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
inline double statusMB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// Starts a new peak: from here VmHWM reports the highest resident size reached.
inline void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The value below which `fraction` of the samples lie.
inline double percentile(QList<double> samples, double fraction) {
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto at = qsizetype(fraction * double(samples.size() - 1) + 0.5);
    return samples[std::clamp<qsizetype>(at, 0, samples.size() - 1)];
}

} // namespace measure

#include "Workers.h"

#include "Conversion.h"
#include "Interruption.h"
#include "text/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Jobs and answers cross the pipes as NUL-ended fields, which no file name can hold: a job is
// INPUT NUL OUTPUT NUL ("replace" or "keep") NUL, an answer is PROBLEM NUL (empty when the file
// was converted).
namespace {

struct Worker {
    pid_t pid = -1;
    int toWorker = -1;
    int fromWorker = -1;
    std::optional<Workers::Job> job; // the job it works on
    QByteArray answer;
};

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

// Starts `program --worker` on two pipes; none when the system will not.
Worker start(const QByteArray& program) {
    int jobs[2], answers[2];
    if (::pipe2(jobs, O_CLOEXEC) != 0)
        return {};
    if (::pipe2(answers, O_CLOEXEC) != 0) {
        ::close(jobs[0]);
        ::close(jobs[1]);
        return {};
    }
    char worker[] = "--worker";
    char* const argv[] = {const_cast<char*>(program.constData()), worker, nullptr};
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only calls that are safe after fork until exec; dup2 clears close-on-exec.
        ::dup2(jobs[0], STDIN_FILENO);
        ::dup2(answers[1], STDOUT_FILENO);
        ::execv(program.constData(), argv);
        ::_exit(127);
    }
    ::close(jobs[0]);
    ::close(answers[1]);
    if (pid < 0) {
        ::close(jobs[1]);
        ::close(answers[0]);
        return {};
    }
    Worker started;
    started.pid = pid;
    started.toWorker = jobs[1];
    started.fromWorker = answers[0];
    return started;
}

// Closes the worker's pipes and waits for it; how it ended, for a job it left unfinished.
QString stop(Worker& worker) {
    ::close(worker.toWorker);
    ::close(worker.fromWorker);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    worker.pid = -1;
    if (WIFSIGNALED(status))
        return QStringLiteral("signal %1, %2")
            .arg(WTERMSIG(status))
            .arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
    return QStringLiteral("exit status %1").arg(WEXITSTATUS(status));
}

bool readField(QByteArray& field) {
    field.clear();
    for (;;) {
        const int c = std::getchar();
        if (c == EOF)
            return false;
        if (c == '\0')
            return true;
        field += char(c);
    }
}

// One run of Workers::run: the workers, and what `next` has given and has still to give.
class Pool {
public:
    Pool(const QByteArray& program, int count, const Workers::Next& next,
         const Workers::Finished& finished)
        : program_(program), count_(count), next_(next), finished_(finished) {}

    // Free workers take jobs, then new ones start while there are jobs and room; at the end the
    // free ones end.
    void feed() {
        for (Worker& worker : workers_) {
            if (worker.job)
                continue;
            std::optional<Workers::Job> job = take();
            if (!job)
                break;
            give(worker, std::move(*job));
        }
        while (int(workers_.size()) < count_) {
            std::optional<Workers::Job> job = take();
            if (!job)
                break;
            Worker worker = start(program_);
            if (worker.pid < 0) {
                if (!workers_.empty()) {
                    waiting_ = std::move(job); // the running ones carry on with the rest
                    break;
                }
                finished_(*job, QStringLiteral("cannot convert %1: no worker process could start")
                                    .arg(job->input));
                continue;
            }
            workers_.push_back(std::move(worker));
            give(workers_.back(), std::move(*job));
        }
        if (ended_ && !waiting_)
            for (size_t i = workers_.size(); i-- > 0;)
                if (!workers_[i].job)
                    end(i);
    }

    bool done() const { return workers_.empty() && ended_; }
    // Whether `next` waits for its descriptor while a worker is free for what it brings.
    bool waitsForNext() const {
        return later_ && (int(workers_.size()) < count_ ||
                          std::any_of(workers_.begin(), workers_.end(),
                                      [](const Worker& worker) { return !worker.job; }));
    }
    void nextMayHaveMore() { later_ = false; }

    // The descriptors of the workers' answers, in their order.
    std::vector<pollfd> answers() const {
        std::vector<pollfd> watched;
        for (const Worker& worker : workers_)
            watched.push_back({worker.fromWorker, POLLIN, 0});
        return watched;
    }

    // Reads what worker `i` answered; a worker that is gone fails the file it had.
    void read(size_t i) {
        Worker& worker = workers_[i];
        char buffer[4096];
        const ssize_t n = ::read(worker.fromWorker, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            return;
        if (n > 0) {
            worker.answer.append(buffer, n);
            const qsizetype end = worker.answer.indexOf('\0');
            if (worker.job && end >= 0) {
                const Workers::Job done = *std::exchange(worker.job, std::nullopt);
                const QString problem = NativePath::decode(worker.answer.left(end));
                worker.answer.remove(0, end + 1);
                finished_(done, problem);
            }
            return;
        }
        // The worker is gone: its file failed, and a new worker takes the next one.
        const std::optional<Workers::Job> job = worker.job;
        const QString how = end(i);
        if (job && !Interruption::signal())
            finished_(*job, QStringLiteral("cannot convert %1: the conversion stopped (%2)")
                                .arg(job->input, how));
    }

    // Ends every worker, those converting by SIGTERM: their unfinished outputs leave nothing
    // behind (os/AtomicFile).
    void endAll(bool interrupted) {
        for (size_t i = workers_.size(); i-- > 0;) {
            if (interrupted && workers_[i].job)
                ::kill(workers_[i].pid, SIGTERM);
            end(i);
        }
    }

private:
    std::optional<Workers::Job> take() {
        if (waiting_)
            return std::exchange(waiting_, std::nullopt);
        Workers::Job job;
        if (ended_ || later_ || Interruption::signal())
            return std::nullopt;
        const Workers::Supply supply = next_(job);
        ended_ = supply == Workers::Supply::End;
        later_ = supply == Workers::Supply::Later;
        if (supply != Workers::Supply::Job)
            return std::nullopt;
        return job;
    }

    static void give(Worker& worker, Workers::Job job) {
        // A worker that is gone shows as the end of its answers (read()).
        writeAll(worker.toWorker, NativePath::encode(job.input) + '\0' +
                                      NativePath::encode(job.output) + '\0' +
                                      (job.replace ? "replace" : "keep") + '\0');
        worker.job = std::move(job);
    }

    QString end(size_t i) {
        const QString how = stop(workers_[i]);
        workers_.erase(workers_.begin() + qsizetype(i));
        return how;
    }

    const QByteArray& program_;
    const int count_;
    const Workers::Next& next_;
    const Workers::Finished& finished_;
    std::vector<Worker> workers_;
    std::optional<Workers::Job> waiting_; // taken, for the next worker that is free
    bool ended_ = false;                  // next_ has no more
    bool later_ = false;                  // next_ has none until its descriptor is readable
};

} // namespace

void Workers::run(const QByteArray& program, int count, const Next& next, int waitOn,
                  const Finished& finished) {
    // A worker that dies must not take this process with it on the next write.
    std::signal(SIGPIPE, SIG_IGN);
    Pool pool(program, count, next, finished);
    pool.feed();
    while (!pool.done() && !Interruption::signal()) {
        std::vector<pollfd> watched = pool.answers();
        const size_t answers = watched.size();
        watched.push_back({Interruption::descriptor(), POLLIN, 0});
        watched.push_back({pool.waitsForNext() ? waitOn : -1, POLLIN, 0});
        if (::poll(watched.data(), nfds_t(watched.size()), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched.back().revents)
            pool.nextMayHaveMore();
        // From the last, as a worker that is gone leaves the list.
        for (size_t i = answers; i-- > 0 && !Interruption::signal();)
            if (watched[i].revents)
                pool.read(i);
        pool.feed();
    }
    pool.endAll(Interruption::signal() != 0);
}

int Workers::serve() {
    // Ctrl+C and a hang-up reach the whole group of processes: the batch decides what they end,
    // and ends its workers itself.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    Conversion conversion;
    QByteArray input, output, existing;
    while (readField(input) && readField(output) && readField(existing)) {
        const QString problem = conversion.run(
            NativePath::decode(input), NativePath::decode(output),
            existing == "keep" ? Conversion::Existing::Keep : Conversion::Existing::Replace);
        const QByteArray answer = NativePath::encode(problem) + '\0';
        if (std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout) !=
                size_t(answer.size()) ||
            std::fflush(stdout) != 0)
            return 1;
    }
    return 0;
}

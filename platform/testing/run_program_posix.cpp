// Running a program on a POSIX system: posix_spawn with an argument array and an environment
// array, standard output and standard error through two pipes read to their ends, then waitpid.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "kv/platform/testing/run_program.h"

extern char** environ;

namespace kv::platform::testing {

namespace {

// Owns the two ends of a pipe.
class Pipe {
public:
    Pipe() {
        if (::pipe(fds_) != 0) fds_[0] = fds_[1] = -1;
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    bool valid() const { return fds_[0] >= 0; }
    int readEnd() const { return fds_[0]; }
    int writeEnd() const { return fds_[1]; }
    void closeRead() { closeFd(fds_[0]); }
    void closeWrite() { closeFd(fds_[1]); }

private:
    static void closeFd(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};

class FileActions {
public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    ~FileActions() {
        if (ok_) posix_spawn_file_actions_destroy(&actions_);
    }
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    bool ok_ = false;
};

std::vector<std::string> mergedEnvironment(const std::vector<std::pair<std::string, std::string>>& additions) {
    std::map<std::string, std::string> variables;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        const size_t eq = entry.find('=');
        if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : additions) variables[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : variables) out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// The program's arguments and environment as posix_spawn takes them.
struct SpawnArguments {
    std::vector<std::string> argvStrings;
    std::vector<std::string> envStrings;
    std::vector<char*> argv;
    std::vector<char*> envp;
    explicit SpawnArguments(const ProgramRequest& request)
        : argvStrings{request.program.string()}, envStrings(mergedEnvironment(request.environment)) {
        argvStrings.insert(argvStrings.end(), request.arguments.begin(), request.arguments.end());
        argv = pointers(argvStrings);
        envp = pointers(envStrings);
    }
};

// Starts the program with the file actions given, in the request's working directory; 0 when it
// could not be started.
pid_t spawn(const ProgramRequest& request, FileActions& actions) {
    SpawnArguments arguments(request);
    const std::string directory = request.workingDirectory.string();
    if (!directory.empty() && posix_spawn_file_actions_addchdir_np(actions.get(), directory.c_str()) != 0) return 0;
    pid_t pid = 0;
    if (posix_spawn(&pid, arguments.argvStrings[0].c_str(), actions.get(), nullptr, arguments.argv.data(),
                    arguments.envp.data()) != 0)
        return 0;
    return pid;
}

int exitCodeOf(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PosixStartedProgram : public StartedProgram {
public:
    explicit PosixStartedProgram(pid_t pid) : pid_(pid) {}
    ~PosixStartedProgram() override {
        if (pid_ > 0) {
            kill();
            wait();
        }
    }
    void kill() override {
        if (pid_ > 0) ::kill(pid_, SIGKILL);
    }
    int wait() override {
        if (pid_ <= 0) return exitCode_;
        exitCode_ = exitCodeOf(pid_);
        pid_ = 0;
        return exitCode_;
    }

private:
    pid_t pid_;
    int exitCode_ = -1;
};

}  // namespace

std::unique_ptr<StartedProgram> startProgram(const ProgramRequest& request) {
    FileActions actions;
    if (!actions.ok() || posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0) != 0)
        return nullptr;
    const pid_t pid = spawn(request, actions);
    return pid > 0 ? std::make_unique<PosixStartedProgram>(pid) : nullptr;
}

ProgramResult runProgram(const ProgramRequest& request) {
    ProgramResult result;
    Pipe output;
    Pipe errors;
    FileActions actions;
    if (!output.valid() || !errors.valid() || !actions.ok()) return result;
    for (auto [pipe, stream] : {std::pair{&output, STDOUT_FILENO}, std::pair{&errors, STDERR_FILENO}}) {
        if (posix_spawn_file_actions_adddup2(actions.get(), pipe->writeEnd(), stream) != 0) return result;
    }
    for (Pipe* pipe : {&output, &errors}) {
        if (posix_spawn_file_actions_addclose(actions.get(), pipe->readEnd()) != 0 ||
            posix_spawn_file_actions_addclose(actions.get(), pipe->writeEnd()) != 0)
            return result;
    }
    const pid_t pid = spawn(request, actions);
    if (pid <= 0) return result;
    output.closeWrite();
    errors.closeWrite();

    // Both pipes at once: a program that fills one while the other is read would wait for ever.
    pollfd ends[2] = {{output.readEnd(), POLLIN, 0}, {errors.readEnd(), POLLIN, 0}};
    std::string* texts[2] = {&result.standardOutput, &result.standardError};
    char buffer[4096];
    for (int open = 2; open > 0;) {
        if (::poll(ends, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (ends[i].fd < 0 || ends[i].revents == 0) continue;
            const ssize_t n = ::read(ends[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ends[i].fd = -1;  // poll skips it from now on
                --open;
            }
        }
    }
    result.exitCode = exitCodeOf(pid);
    return result;
}

}  // namespace kv::platform::testing

// The whole program on damaged, unreadable, linked and interrupted log files (what it finds
// it never hides or overwrites, what it saves survives a crash), and an alert rule on a
// fresh data folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "alerts/alert_rule.h"
#include "alerts/rule_files.h"
#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<char>;

Bytes read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(b.data(), static_cast<std::streamsize>(b.size()));
}

void put_double(Bytes& b, std::size_t offset, double v) {
    if (b.size() < offset + 8) b.resize(offset + 8, 0);
    std::memcpy(b.data() + offset, &v, 8);
}

double double_at(const Bytes& b, std::size_t offset) {
    double v = 0;
    if (offset + 8 <= b.size()) std::memcpy(&v, b.data() + offset, 8);
    return v;
}

// A whole "Stats.dat" for n adapters, all counters 0, logging since `start`.
Bytes stats_file(double start, int n) {
    Bytes b{'K', 'V', 1, 0, 0, 0, 0};
    put_double(b, 7, start);
    b.push_back(static_cast<char>(n));
    const int sizes[10] = {1, 1, 2, 2, 8, 8, 8, 8, 8, 8};
    for (int size : sizes) {
        const char header[10] = {1, 0, static_cast<char>(n), 0, 0, 0, 1, 0, 0, 0};
        b.insert(b.end(), header, header + 10);
        b.insert(b.end(), static_cast<std::size_t>(size * n), 0);
    }
    return b;
}

// The full path of a program on PATH, or "" when there is none.
std::string find_program(const std::string& name) {
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/usr/sbin");
    for (std::string dir; std::getline(path, dir, ':');) {
        const fs::path p = fs::path(dir) / name;
        if (::access(p.c_str(), X_OK) == 0) return p.string();
    }
    for (const char* dir : {"/usr/sbin", "/sbin"}) {
        const fs::path p = fs::path(dir) / name;
        if (::access(p.c_str(), X_OK) == 0) return p.string();
    }
    return {};
}

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
    return done();
}

// A data and settings folder, and the program run on it (offscreen, no network peers),
// optionally under another program (`ip netns exec ...`, `strace ...`) that execs it.
struct ProgramRun {
    TempDir dir;
    fs::path data = dir.path() / "data";
    fs::path stats = data / "Stats";
    fs::path config = dir.path() / "config";
    ChildProcess child;

    ProgramRun() {
        fs::create_directories(stats / "DbMin");
        fs::create_directories(config / "Kelvanto");
        std::ofstream(config / "Kelvanto" / "Kelvanto.conf") << "[General]\nCheckForUpdate=0\n";
    }
    ~ProgramRun() { kill_process(child); }

    void start(std::vector<std::string> wrapper = {}) {
        std::string program = KELVANTO_BIN;
        if (!wrapper.empty()) {
            program = wrapper.front();
            wrapper.erase(wrapper.begin());
            wrapper.push_back(KELVANTO_BIN);
        }
        child = start_process(program, wrapper,
                              {{"KELVANTO_HOME", data.string()},
                               {"XDG_CONFIG_HOME", config.string()},
                               {"XDG_DATA_HOME", (dir.path() / "share").string()},
                               {"XDG_RUNTIME_DIR", dir.str()},
                               {"QT_QPA_PLATFORM", "offscreen"}},
                              (dir.path() / "output.txt").string());
    }
    // The program's own process: the child itself, or the child the wrapper started.
    pid_t program_pid(bool wrapped) const {
        if (!wrapped) return child.pid;
        std::ifstream children("/proc/" + std::to_string(child.pid) + "/task/" + std::to_string(child.pid) + "/children");
        pid_t pid = 0;
        children >> pid;
        return pid;
    }
    // Stops the program in order (SIGTERM: the logs are saved) and returns its exit status.
    int stop(bool wrapped = false) {
        const pid_t pid = program_pid(wrapped);
        if (pid > 0) ::kill(pid, SIGTERM);
        const int status = wait_process(child, 30000);
        child.pid = -1;
        return status;
    }
    std::string output() const {
        const Bytes b = read_bytes(dir.path() / "output.txt");
        return {b.begin(), b.end()};
    }
};

const double kToday = std::floor(SystemClock().now());
const int kYear = year_of(kToday);

// A "Stats.dat" torn inside its start date, with the daily files of last year and this year
// intact: logging began on the first day with traffic in the oldest of them, and "Total"
// and the history keep everything from then on.
TEST(LogFilesEndToEnd, TornStatsFileTakesItsStartFromTheOldestDailyFile) {
    ProgramRun run;
    Bytes torn = stats_file(kToday - 400, 1);
    torn.resize(11);  // marker, version, reserved and half the start date
    write_bytes(run.stats / "Stats.dat", torn);
    const double first_logged = static_cast<double>(day_number(kYear - 1, 3, 10));
    Bytes last_year(5856, 0);
    put_double(last_year, static_cast<std::size_t>(day_index(first_logged)) * 16, 3 * 1048576.0);
    write_bytes(run.stats / (std::to_string(kYear - 1) + ".1.dat"), last_year);
    Bytes this_year(5856, 0);
    put_double(this_year, 0, 1048576.0);
    write_bytes(run.stats / (std::to_string(kYear) + ".1.dat"), this_year);

    run.start();
    ASSERT_TRUE(wait_for([&] { return fs::file_size(run.stats / "Stats.dat") >= 116 + 54; })) << run.output();
    EXPECT_EQ(run.stop(), 0) << run.output();
    if (std::floor(SystemClock().now()) != kToday) GTEST_SKIP() << "the run crossed midnight";
    const Bytes saved = read_bytes(run.stats / "Stats.dat");
    EXPECT_EQ(double_at(saved, 7), first_logged);
    EXPECT_EQ(double_at(read_bytes(run.stats / (std::to_string(kYear - 1) + ".1.dat")),
                        static_cast<std::size_t>(day_index(first_logged)) * 16),
              3 * 1048576.0);
}

// Today's minutely file and the first-minute date file cannot be read when the program
// starts (a folder stands in their place). When they come back while it runs, its saves
// never write what it held instead over them.
TEST(LogFilesEndToEnd, UnreadableMinutelyFilesAreNeverReplaced) {
    ProgramRun run;
    const fs::path minutes = run.stats / "DbMin" / (std::to_string(kYear) + ".1.dat");
    const fs::path first_minute = run.stats / "DbMin" / "DbMin.dat";
    fs::create_directories(minutes / "lost+found");
    fs::create_directories(first_minute / "lost+found");

    run.start();
    ASSERT_TRUE(wait_for([&] { return fs::exists(run.stats / "Stats.dat"); })) << run.output();
    std::this_thread::sleep_for(1500ms);
    // Both come back, as a remounted folder would bring them.
    fs::remove_all(minutes);
    fs::remove_all(first_minute);
    Bytes stored(static_cast<std::size_t>(day_index(kToday) + 1) * 23040 + 16, 0);
    const std::size_t minute_7 = static_cast<std::size_t>(day_index(kToday)) * 23040 + 7 * 16;
    put_double(stored, minute_7, 777777.0);
    write_bytes(minutes, stored);
    Bytes date;
    put_double(date, 0, kToday - 30);
    write_bytes(first_minute, date);

    EXPECT_EQ(run.stop(), 0) << run.output();
    EXPECT_EQ(read_bytes(minutes), stored);
    EXPECT_EQ(read_bytes(first_minute), date);
}

// Saves follow a symlinked "Stats.dat" to its target in the data folder and leave it private
// (0600); they are flushed to the disk before the rename and the folder after it, and a save
// cut off after its temporary file was written leaves the old file whole.
TEST(LogFilesEndToEnd, SavesAreDurableFollowLinksAndSurviveAnInterruption) {
    const std::string strace = find_program("strace");
    if (strace.empty()) GTEST_SKIP() << "strace is not installed";
    ProgramRun run;
    const fs::path keep = run.data / "keep";
    fs::create_directories(keep);
    const fs::path target = keep / "state.dat";
    Bytes original = stats_file(kToday - 3, 1);
    put_double(original, 90, 1000.0);  // a received offset, folded into the carried total at start
    write_bytes(target, original);
    ::chmod(target.c_str(), 0640);
    fs::create_symlink("../keep/state.dat", run.stats / "Stats.dat");

    // Killed at the rename of its first save of the file.
    run.start({strace, "-qq", "-f", "-o", (run.dir.path() / "killed.txt").string(), "-P", target.string(), "-P",
               (run.stats / "Stats.dat").string(), "-e", "trace=rename,renameat,renameat2", "-e",
               "inject=rename,renameat,renameat2:signal=KILL"});
    const int killed = wait_process(run.child, 30000);
    run.child.pid = -1;
    const Bytes trace_killed = read_bytes(run.dir.path() / "killed.txt");
    if (killed != 128 + SIGKILL && std::string(trace_killed.begin(), trace_killed.end()).find("ptrace") != std::string::npos)
        GTEST_SKIP() << "tracing is not permitted here";
    EXPECT_EQ(killed, 128 + SIGKILL) << run.output();
    EXPECT_TRUE(fs::is_symlink(run.stats / "Stats.dat"));
    EXPECT_EQ(read_bytes(target), original);
    const std::size_t written = read_bytes(fs::path(target.string() + ".tmp")).size();
    EXPECT_TRUE(written >= 116 + 54 && (written - 116) % 54 == 0) << written << " bytes: the new file was whole";

    // The next run saves through the link, durably, and makes the file private.
    const fs::path trace = run.dir.path() / "trace.txt";
    run.start({strace, "-qq", "-f", "-o", trace.string(), "-e", "trace=openat,fsync,fdatasync,rename,renameat,renameat2"});
    ASSERT_TRUE(wait_for([&] { return fs::file_size(target) != original.size() || read_bytes(target) != original; }))
        << run.output();
    EXPECT_EQ(run.stop(true), 0) << run.output();
    EXPECT_TRUE(fs::is_symlink(run.stats / "Stats.dat"));
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const Bytes saved = read_bytes(target);
    ASSERT_GE(saved.size(), 116u + 54u);
    EXPECT_EQ(double_at(saved, 7), kToday - 3);

    // In the trace: the temporary file opened, flushed, renamed over the target, and then
    // the folder opened and flushed.
    const Bytes raw = read_bytes(trace);
    std::istringstream lines(std::string(raw.begin(), raw.end()));
    const std::string tmp = target.string() + ".tmp";
    std::string temp_fd;
    std::string folder_fd;
    int step = 0;
    for (std::string line; std::getline(lines, line) && step < 4;) {
        std::smatch m;
        if (step == 0 && line.find("\"" + tmp + "\"") != std::string::npos && line.find("openat(") != std::string::npos &&
            std::regex_search(line, m, std::regex(R"(= (\d+)$)"))) {
            temp_fd = m[1];
            step = 1;
        } else if (step == 1 && line.find("fsync(" + temp_fd + ")") != std::string::npos) {
            step = 2;
        } else if (step == 2 && line.find("rename") != std::string::npos && line.find("\"" + tmp + "\"") != std::string::npos &&
                   line.find("\"" + target.string() + "\"") != std::string::npos) {
            step = 3;
        } else if (step == 3 && line.find("\"" + keep.string() + "\"") != std::string::npos &&
                   line.find("O_DIRECTORY") != std::string::npos && std::regex_search(line, m, std::regex(R"(= (\d+)$)"))) {
            folder_fd = m[1];
        } else if (step == 3 && !folder_fd.empty() && line.find("fsync(" + folder_fd + ")") != std::string::npos) {
            step = 4;
        }
    }
    EXPECT_EQ(step, 4) << "open temporary file, fsync, rename, fsync of the folder";
}

// Writes the rules into the data folder as the options dialog stores them.
void store_rules(const fs::path& data, std::initializer_list<AlertRule> rules) {
    WorkingRules working;
    LiveRules live;
    for (const AlertRule& r : rules) {
        new_rule(working);
        working.rules[static_cast<std::size_t>(working.count - 1)] = r;
    }
    ASSERT_TRUE(save_all_rules(working, live, data.string() + "/"));
}

// A fresh install: the all-time total is 0 at start, and one burst of 5 MB under an "each
// time 1 MB has been downloaded" rule is an alert. Run in a network namespace of its own,
// whose loopback carries nothing but the test's burst.
TEST(AlertsEndToEnd, EachTimeRuleOnAFreshFolderAlertsForTheFirstBurst) {
    const std::string ip = find_program("ip");
    const std::string python = find_program("python3");
    if (::geteuid() != 0 || ip.empty() || python.empty()) GTEST_SKIP() << "needs root, ip and python3";
    const std::string ns = "kvteach" + std::to_string(::getpid());
    if (std::system((ip + " netns add " + ns + " && " + ip + " netns exec " + ns + " " + ip + " link set lo up").c_str()) != 0)
        GTEST_SKIP() << "network namespaces are not available";
    struct Namespace {
        std::string del;
        ~Namespace() { [[maybe_unused]] const int r = std::system(del.c_str()); }
    } cleanup{ip + " netns del " + ns};

    ProgramRun run;
    const fs::path log = run.dir.path() / "alerts.log";
    AlertRule each;
    each.Name = "each";
    each.Enabled = kSwitchedOn;
    each.ConditionKind = AmountEachTime;
    each.value(0, 0) = {"lo", "1"};
    each.value(0, 1) = {"downloaded", "0"};
    each.value(0, 2) = {"1 MB", "1|1"};
    each.Actions[AddLogEntry] = kSwitchedOn;
    each.value(AddLogEntry + 1, 0) = {"alerts.log", log.string()};
    store_rules(run.data, {each});

    run.start({ip, "netns", "exec", ns});
    ASSERT_TRUE(wait_for([&] { return fs::exists(run.stats / "Stats.dat"); })) << run.output();
    std::this_thread::sleep_for(2500ms);  // cycles with a total of 0
    // 5 MB over the namespace's loopback, read as it is sent.
    const std::string burst =
        " -c 'import socket,threading\ns=socket.socket();s.bind((\"127.0.0.1\",0));s.listen(1)\n"
        "c=socket.create_connection(s.getsockname());p,_=s.accept()\ngot=[0]\n"
        "def read():\n while True:\n  d=p.recv(1<<16)\n  if not d: break\n  got[0]+=len(d)\n"
        "t=threading.Thread(target=read);t.start()\nc.sendall(b\"k\"*5242880);c.close();t.join()\n"
        "assert got[0]==5242880'";
    ASSERT_EQ(std::system((ip + " netns exec " + ns + " " + python + burst).c_str()), 0);
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(run.stop(), 0) << run.output();

    const Bytes raw = read_bytes(log);
    const std::string lines(raw.begin(), raw.end());
    EXPECT_TRUE(std::regex_match(lines, std::regex(R"([^\r\n]+ 1 MB has been downloaded\.\r\n)"))) << lines;
}

}  // namespace

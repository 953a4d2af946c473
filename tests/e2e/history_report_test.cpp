#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
void put(Bytes& b, T value) {
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));  // little-endian machine, as the files are
    b.insert(b.end(), raw, raw + sizeof(T));
}

void write_bytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// "Stats.dat": marker, version, reserved, start date, adapter count, ten arrays of n zeros.
Bytes stats_file(double start_date, std::uint8_t n) {
    Bytes b{'K', 'V', 1};
    put<std::int32_t>(b, 0);
    put<double>(b, start_date);
    b.push_back(n);
    const std::size_t element_sizes[10] = {1, 1, 2, 2, 8, 8, 8, 8, 8, 8};
    for (std::size_t size : element_sizes) {
        put<std::int16_t>(b, 1);
        put<std::int32_t>(b, n);
        put<std::int32_t>(b, 1);
        b.insert(b.end(), size * n, 0);
    }
    return b;
}

struct ReportRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A prepared data and settings folder and the program run on it.
struct ReportFolder {
    TempDir dir;
    std::filesystem::path data = dir.path() / "data";
    std::filesystem::path config = dir.path() / "config";
    double today = std::floor(SystemClock().now());
    double start = today - 9;

    ReportFolder() {
        std::filesystem::create_directories(data / "Stats");
        std::filesystem::create_directories(config / "Kelvanto");
        EXPECT_EQ(stats_file(start, 2).size(), 116u + 54u * 2u);
        write_bytes(data / "Stats" / "Stats.dat", stats_file(start, 2));
        // Adapter 1 receives (k + 1) KB and sends 0.5 KB on day k of the log; adapter 2 1 KB
        // and nothing. Each year file holds 366 entries.
        for (int year = year_of(start); year <= year_of(today); ++year) {
            for (int adapter = 1; adapter <= 2; ++adapter) {
                std::vector<double> entries(366 * 2, 0.0);
                for (int k = 0; k <= 9; ++k) {
                    const double d = start + k;
                    if (year_of(d) != year) continue;
                    const auto i = static_cast<std::size_t>(day_index(d));
                    entries[2 * i] = adapter == 1 ? (k + 1) * 1024.0 : 1024.0;
                    entries[2 * i + 1] = adapter == 1 ? 512.0 : 0.0;
                }
                Bytes b;
                for (double v : entries) put<double>(b, v);
                EXPECT_EQ(b.size(), 5856u);
                write_bytes(data / "Stats" / (std::to_string(year) + "." + std::to_string(adapter) + ".dat"), b);
            }
        }
        std::ofstream conf(config / "Kelvanto" / "Kelvanto.conf");
        conf << "[General]\nTransferredUnitHis=7\nTransferredDecHis=1\nAdapter=1\nLogAdapter1=1\nLogAdapter2=1\n";
    }

    ReportRun run(const std::string& arguments) const {
        const std::filesystem::path out = dir.path() / "out.txt";
        const std::filesystem::path err = dir.path() / "err.txt";
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=en_GB.UTF-8 LANG=en_GB.UTF-8 KELVANTO_HOME='" +
                                    data.string() + "' XDG_CONFIG_HOME='" + config.string() + "' XDG_DATA_HOME='" +
                                    (dir.path() / "share").string() + "' '" KELVANTO_BIN "' " + arguments + " >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        ReportRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }
    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

std::string dmy(double date) {
    const CivilDate c = civil_date(date);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", c.day, c.month, c.year);
    return buf;
}

std::string right(const std::string& s, std::size_t width) {
    return std::string(s.size() < width ? width - s.size() : 0, ' ') + s;
}

TEST(HistoryReport, DailyReportOfPreparedLogsIsTheExportByteForByte) {
    ReportFolder folder;
    const ReportRun r = folder.run("--report daily");
    ASSERT_EQ(r.status, 0) << r.err;
    // The heading names the adapter and the days the logs cover.
    const std::string heading = r.out.substr(0, r.out.find("\r\n\r\nDate "));
    EXPECT_EQ(heading.substr(heading.rfind(", ") + 2), dmy(folder.start) + " to " + dmy(folder.today));
    std::string expected = heading + "\r\n\r\n"
                           "Date                         Download                    Upload                     Total\r\n" +
                           std::string(89, '-') + "\r\n";
    for (int k = 9; k >= 0; --k) {  // newest first
        char received[16];
        char total[16];
        std::snprintf(received, sizeof received, "%d.0 KB", k + 1);
        std::snprintf(total, sizeof total, "%d.5 KB", k + 1);
        expected += dmy(folder.start + k) + "           " + right(received, 16) + right("0.5 KB", 26) + right(total, 26) + "\r\n";
    }
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(folder.run("--report=daily").out, expected);
    // Nothing was sampled or written: the folder holds what the test put there.
    EXPECT_FALSE(std::filesystem::exists(folder.data / "Stats" / "DbMin"));
}

TEST(HistoryReport, AggregateAsHtmlAndBadArguments) {
    ReportFolder folder;
    const ReportRun r = folder.run("--report yearly --html --adapter 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("<!DOCTYPE html>\r\n<HTML>\r\n<Head>\r\n<Meta charset=\"UTF-8\">\r\n", 0), 0u);
    EXPECT_NE(r.out.find("<P>Adapter 0 - Multiple, "), std::string::npos) << r.out;
    if (year_of(folder.start) == year_of(folder.today)) {
        // (1 + ... + 10) KB from adapter 1 and 10 KB from adapter 2.
        EXPECT_NE(r.out.find("<td align=Right>65.0 KB</td>\r\n<td align=Right>5.0 KB</td>"), std::string::npos) << r.out;
    }

    const ReportRun totals = folder.run("--report totals");
    ASSERT_EQ(totals.status, 0) << totals.err;
    EXPECT_NE(totals.out.find("\r\n0 - Multiple          "), std::string::npos) << totals.out;

    for (const char* bad : {"--report", "--report hourly", "--report daily --adapter x", "--report daily --bogus",
                            "--report daily --json --html", "--report totals --csv --json"}) {
        const ReportRun b = folder.run(bad);
        EXPECT_EQ(b.status, 2) << bad;
        EXPECT_EQ(b.out, "") << bad;
        EXPECT_EQ(b.err, "Usage: kelvanto --report totals|daily|weekly|monthly|yearly [--html|--json|--csv] [--adapter N|--retired NAME]\n") << bad;
    }
}

// Logs it cannot read (an unreadable day file, a missing, dangling or looping data folder) and
// an adapter they do not hold are told on standard error with status 1; nothing is created.
TEST(HistoryReport, LogsThatCannotBeReadAreAnErrorAndNothingIsCreated) {
    namespace fs = std::filesystem;
    ReportFolder folder;
    const auto fails = [&](const std::string& args, const std::string& message) {
        const ReportRun r = folder.run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("kelvanto: " + message, 0), 0u) << args << ": " << r.err;
    };
    fails("--report daily --adapter 99", "no adapter 99 in the logs (adapters 0 to ");
    const fs::path logs = folder.data / "Stats";
    const fs::path year_file = logs / (std::to_string(year_of(folder.today)) + ".1.dat");
    fs::remove(year_file);
    fs::create_directory(year_file);
    fails("--report=yearly --json", "cannot read " + year_file.string() + ": Is a directory\n");
    fs::remove_all(logs);
    fs::create_symlink(folder.dir.path() / "gone" / "Stats", logs);
    fails("--report daily --csv", "cannot read the traffic logs in " + logs.string() + ": No such file or directory\n");
    fs::create_symlink("loop", folder.dir.path() / "loop");
    folder.data = folder.dir.path() / "loop";
    fails("--report totals", "cannot read the traffic logs in " + folder.data.string() + "/Stats: Too many levels");
    folder.data = folder.dir.path() / "none" / "deeper";
    fails("--report totals", "cannot read the traffic logs in " + folder.data.string() + "/Stats: No such file");
    for (const char* made : {"gone", "none", "share"}) EXPECT_FALSE(fs::exists(folder.dir.path() / made)) << made;
}

std::string iso(double date) {
    const CivilDate c = civil_date(date);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
    return buf;
}

TEST(HistoryReport, JsonAndCsvForScripts) {
    ReportFolder folder;
    const ReportRun json = folder.run("--report daily --json --adapter 1");
    ASSERT_EQ(json.status, 0) << json.err;
    const auto report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["report"], "daily");
    EXPECT_EQ(report["adapter"], 1);
    EXPECT_TRUE(report["interface"].is_string() || report["interface"].is_null());
    ASSERT_EQ(report["rows"].size(), 10u);
    for (int k = 0; k <= 9; ++k) {  // oldest first, whole bytes
        const auto& row = report["rows"][static_cast<std::size_t>(k)];
        EXPECT_EQ(row["period"], iso(folder.start + k));
        EXPECT_EQ(row["download"], (k + 1) * 1024);
        EXPECT_EQ(row["upload"], 512);
        EXPECT_EQ(row["total"], (k + 1) * 1024 + 512);
    }

    const ReportRun csv = folder.run("--csv --adapter 2 --report daily");
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::string expected = "period,download,upload,total\n";
    for (int k = 0; k <= 9; ++k) expected += iso(folder.start + k) + ",1024,0,1024\n";
    EXPECT_EQ(csv.out, expected);

    const ReportRun totals = folder.run("--report totals --json");
    ASSERT_EQ(totals.status, 0) << totals.err;
    const auto rows = nlohmann::json::parse(totals.out)["rows"];
    ASSERT_EQ(rows.size(), 3u);  // the aggregate, adapters 1 and 2
    EXPECT_EQ(rows[0]["adapter"], 0);
    EXPECT_TRUE(rows[0]["interface"].is_null());
    EXPECT_EQ(rows[2]["download"], 10 * 1024);
}

}  // namespace

// The totals report carries the data cap of the user-defined period for the report's
// adapter: a period from four days ago to five days ahead takes the last five days of the
// log (the day before it not), 43520 bytes of a 100 KB cap; five days with data make a pace
// of 8704 bytes a day for the five days left. Without a cap the field is null.
TEST(HistoryReport, TotalsCarryTheCapItsShareAndPace) {
    ReportFolder folder;
    const ReportRun plain = folder.run("--report totals --json");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(nlohmann::json::parse(plain.out).at("cap").is_null()) << plain.out;

    std::ofstream(folder.config / "Kelvanto" / "Kelvanto.conf", std::ios::app)
        << "CusPerDay=0\nCusPerFrom=" << static_cast<long long>(folder.today - 4)
        << "\nCusPerTo=" << static_cast<long long>(folder.today + 5) << "\nCusPerName=Plan\nCapAmount=100\nCapUnit=0\n";
    const std::string conf_before = ReportFolder::slurp(folder.config / "Kelvanto" / "Kelvanto.conf");
    const ReportRun totals = folder.run("--report totals --json --adapter 1");
    ASSERT_EQ(totals.status, 0) << totals.err;
    const auto cap = nlohmann::json::parse(totals.out).at("cap");
    const int used = (6 + 7 + 8 + 9 + 10) * 1024 + 5 * 512;
    EXPECT_EQ(cap, nlohmann::json::parse(R"({"period":"Plan","amount":100,"unit":"KB","bytes":102400,"used":)" +
                                         std::to_string(used) + R"(,"share":42.5,"pace":87040})"))
        << totals.out;
    // The report reads the settings and leaves them as they were.
    EXPECT_EQ(ReportFolder::slurp(folder.config / "Kelvanto" / "Kelvanto.conf"), conf_before);

    // Adapter 2 used 1 KB a day: 5 % of the cap. Other reports and formats carry no cap.
    const ReportRun second = folder.run("--report totals --json --adapter 2");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(nlohmann::json::parse(second.out)["cap"]["share"], 5.0);
    const ReportRun daily = folder.run("--report daily --json");
    EXPECT_FALSE(nlohmann::json::parse(daily.out).contains("cap"));
    const ReportRun csv = folder.run("--report totals --csv");
    EXPECT_EQ(csv.out.find("cap"), std::string::npos);
}

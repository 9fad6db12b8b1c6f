#include "cli/designs.h"

#include "cli/json_modes.h"
#include "platform/console.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cli {

namespace {

// A bar on standard error, drawn from one thread only, at most ten times a
// second, and only once the run has taken half a second.
class progress_bar {
public:
    progress_bar(bool wanted, std::size_t total) : wanted_(wanted && standard_error_is_terminal()), total_(total) {}

    void update(std::size_t done)
    {
        if (!wanted_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::milliseconds(500) || now - drawn_ < std::chrono::milliseconds(100)) return;
        drawn_ = now;
        constexpr int WIDTH = 40;
        const int filled = static_cast<int>(WIDTH * done / total_);
        std::fprintf(stderr, "\r [%.*s%*s] %3d%%  %zu of %zu designs", filled,
                     "########################################", WIDTH - filled, "",
                     static_cast<int>(100 * done / total_), done, total_);
        std::fflush(stderr);
        shown_ = true;
    }

    ~progress_bar()
    {
        if (shown_) std::fprintf(stderr, "\r%*s\r", 80, "");
    }

private:
    bool wanted_, shown_ = false;
    std::size_t total_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now(), drawn_{};
};

design_outcome run_design(const barrel_template &base, const std::vector<override_value> &common, const design &d,
                          const analysis::analysis_options &options)
{
    design_outcome outcome;
    try {
        std::vector<override_value> values = common;
        values.insert(values.end(), d.values.begin(), d.values.end());
        const barrel_file file = base.with(values);
        analysis::analysis_options own = options;
        if (file.theory) own.theory = *file.theory;
        outcome.result = analysis::analyze(file.barrel, own);
    } catch (const std::exception &e) {
        outcome.error = e.what();
    }
    return outcome;
}

double read_number(const std::string &text, bool &ok)
{
    double value = 0;
    const char *first = text.data(), *last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, value);
    ok = error == std::errc() && end == last && std::isfinite(value);
    return value;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string csv_field(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::vector<std::string> split_csv_line(const std::string &line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
            else if (c == '"') quoted = false;
            else fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    for (std::string &field : fields) {
        const std::size_t first = field.find_first_not_of(" \t"), last = field.find_last_not_of(" \t");
        field = first == std::string::npos ? std::string() : field.substr(first, last - first + 1);
    }
    return fields;
}

}  // namespace

std::string number_text(double value)
{
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    (void)error;
    return std::string(text, end);
}

std::vector<design_outcome> run_designs(const barrel_template &base, const std::vector<override_value> &common,
                                        const std::vector<design> &designs, const analysis::analysis_options &options,
                                        bool progress)
{
    std::vector<design_outcome> outcomes(designs.size());
    std::atomic<std::size_t> done{0};
    progress_bar bar(progress, designs.size());
    const long count = static_cast<long>(designs.size());
#pragma omp parallel for schedule(dynamic, 8)
    for (long i = 0; i < count; ++i) {
        outcomes[i] = run_design(base, common, designs[i], options);
        const std::size_t finished = ++done;
        if (i % 8 == 0) {
#pragma omp critical(progress)
            bar.update(finished);
        }
    }
    return outcomes;
}

void check_paths(const barrel_template &base, const std::vector<override_value> &common, const design &first,
                 const std::string &where)
{
    for (const override_value &value : first.values) {
        std::vector<override_value> values = common;
        values.push_back(value);
        try {
            base.with(values);
        } catch (const file_error &e) {
            throw file_error(where + value.path + ": " + e.what());
        } catch (const std::exception &) {
            // A barrel that cannot exist is that design's own error, not a wrong path.
        }
    }
}

varied_path parse_vary(const std::string &text)
{
    auto fail = [&](const std::string &why) -> varied_path {
        throw file_error("--vary " + text + ": " + why + " (PATH=FROM:TO:STEP, for example attachment[0].mass=0:1:0.1)");
    };
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return fail("no PATH=");
    std::vector<double> bounds;
    std::string rest = text.substr(equals + 1);
    for (std::size_t at = 0; bounds.size() < 3;) {
        const std::size_t colon = rest.find(':', at);
        bool ok = false;
        bounds.push_back(read_number(rest.substr(at, colon == std::string::npos ? std::string::npos : colon - at), ok));
        if (!ok) return fail("FROM, TO and STEP must be numbers");
        if (colon == std::string::npos) break;
        at = colon + 1;
    }
    if (bounds.size() != 3) return fail("three numbers are needed");
    const double from = bounds[0], to = bounds[1], step = bounds[2];
    if (!(step != 0) || (to - from) / step < 0) return fail("STEP must lead from FROM to TO");
    // The steps that reach TO within rounding; each value is rounded to 12
    // significant digits, so that 0.1 + 2 * 0.1 is shown and used as 0.3.
    const double steps = std::floor((to - from) / step + 1e-9);
    if (steps > 1e7) return fail("more than ten million steps");
    varied_path varied{text.substr(0, equals), {}};
    for (long k = 0; k <= static_cast<long>(steps); ++k) {
        char rounded[32];
        std::snprintf(rounded, sizeof rounded, "%.12g", from + k * step);
        varied.values.push_back(std::strtod(rounded, nullptr));
    }
    return varied;
}

std::vector<design> sweep_grid(const std::vector<varied_path> &varied)
{
    std::vector<design> grid(1);
    for (const varied_path &v : varied) {
        std::vector<design> next;
        next.reserve(grid.size() * v.values.size());
        for (const design &d : grid)
            for (double value : v.values) {
                design more = d;
                more.values.push_back({v.path, "", value});
                more.shown.push_back(number_text(value));
                next.push_back(std::move(more));
            }
        grid = std::move(next);
    }
    return grid;
}

design_table read_design_table(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw file_error(path + ": cannot be read: " + std::strerror(errno));
    design_table table;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;  // blank lines are no designs
        std::vector<std::string> fields = split_csv_line(line);
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (table.paths.empty()) {
            for (const std::string &field : fields)
                if (field.empty()) throw file_error(where + "a column without a path in the header");
            table.paths = fields;
            continue;
        }
        if (fields.size() != table.paths.size())
            throw file_error(where + std::to_string(fields.size()) + " fields where the header has " +
                             std::to_string(table.paths.size()));
        design d;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            bool ok = false;
            const double value = read_number(fields[i], ok);
            if (!ok) throw file_error(where + table.paths[i] + ": \"" + fields[i] + "\" is not a number");
            d.values.push_back({table.paths[i], "", value});
            d.shown.push_back(fields[i]);
        }
        table.designs.push_back(std::move(d));
    }
    if (table.paths.empty()) throw file_error(path + ": no header line naming the paths");
    return table;
}

std::string designs_csv(const std::vector<std::string> &paths, const std::vector<design> &designs,
                        const std::vector<design_outcome> &outcomes, int modes)
{
    std::string text;
    for (const std::string &p : paths) text += csv_field(p) + ",";
    for (int i = 1; i <= modes; ++i) text += "f" + std::to_string(i) + ",";
    text += "error\n";
    for (std::size_t row = 0; row < designs.size(); ++row) {
        for (const std::string &shown : designs[row].shown) text += csv_field(shown) + ",";
        const design_outcome &o = outcomes[row];
        for (int i = 0; i < modes; ++i) text += (o.result ? number_text(o.result->modes[i].frequency) : "") + ",";
        text += csv_field(o.error) + "\n";
    }
    return text;
}

std::string designs_json(const std::vector<std::string> &paths, const std::vector<design> &designs,
                         const std::vector<design_outcome> &outcomes, unit_system units)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (std::size_t row = 0; row < designs.size(); ++row) {
        nlohmann::ordered_json entry = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < paths.size(); ++i) entry[paths[i]] = *designs[row].values[i].number;
        if (outcomes[row].result) entry["modes"] = modes_json(to_file_units(*outcomes[row].result, units).modes, false);
        else entry["error"] = outcomes[row].error;
        rows.push_back(entry);
    }
    return rows.dump(2) + "\n";
}

}  // namespace cli

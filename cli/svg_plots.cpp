#include "cli/svg_plots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace cli {

namespace {

constexpr double WIDTH = 960;                // px
constexpr double LEFT = 90, RIGHT = 40;      // margins, px
constexpr const char *FONT = "font-family=\"DejaVu Sans, Arial, sans-serif\"";
const char *const COLOURS[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#e377c2", "#17becf"};

std::string format(const char *pattern, auto... values)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string escape(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// Axis ticks at 1, 2 or 5 times a power of ten, about count of them over
// [lo, hi]; the axis is widened to the first and last tick.
struct axis {
    double lo, hi, step;
};
axis nice_axis(double lo, double hi, int count = 6)
{
    if (!(hi > lo)) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
        lo -= pad, hi += pad;
    }
    const double raw = (hi - lo) / count, power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    const double step = (fraction < 1.5 ? 1 : fraction < 3.5 ? 2 : fraction < 7.5 ? 5 : 10) * power;
    return {std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step, step};
}

std::string tick_label(double value, double step)
{
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    if (std::fabs(value) < step * 1e-6) value = 0;
    return format("%.*f", decimals, value);
}

// A plotting area: data coordinates to pixels.
struct frame {
    double left, top, width, height;
    axis x, y;
    double px(double value) const { return left + (value - x.lo) / (x.hi - x.lo) * width; }
    double py(double value) const { return top + height - (value - y.lo) / (y.hi - y.lo) * height; }
};

// Grid, ticks and labels of a frame.
std::string draw_axes(const frame &f, const std::string &x_label, const std::string &y_label, bool y_ticks = true)
{
    std::string svg = format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" stroke=\"#444\"/>\n",
                             f.left, f.top, f.width, f.height);
    for (double t = f.x.lo; t <= f.x.hi + f.x.step * 1e-6; t += f.x.step) {
        const double x = f.px(t);
        svg += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", x, f.top, x,
                      f.top + f.height);
        svg += format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\" text-anchor=\"middle\" %s>%s</text>\n", x,
                      f.top + f.height + 16, FONT, tick_label(t, f.x.step).c_str());
    }
    if (y_ticks)
        for (double t = f.y.lo; t <= f.y.hi + f.y.step * 1e-6; t += f.y.step) {
            const double y = f.py(t);
            svg += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", f.left, y,
                          f.left + f.width, y);
            svg += format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\" text-anchor=\"end\" %s>%s</text>\n",
                          f.left - 6, y + 4, FONT, tick_label(t, f.y.step).c_str());
        }
    if (!x_label.empty())
        svg += format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"13\" text-anchor=\"middle\" %s>%s</text>\n",
                      f.left + f.width / 2, f.top + f.height + 34, FONT, escape(x_label).c_str());
    if (!y_label.empty())
        svg += format("<text transform=\"translate(%.1f,%.1f) rotate(-90)\" font-size=\"13\" text-anchor=\"middle\" "
                      "%s>%s</text>\n",
                      f.left - 56, f.top + f.height / 2, FONT, escape(y_label).c_str());
    return svg;
}

std::string polyline(const std::vector<std::pair<double, double>> &points, const char *colour, double width = 2)
{
    if (points.size() < 2) return "";
    std::string svg = format("<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"%.1f\" points=\"", colour, width);
    for (const auto &[x, y] : points) svg += format("%.2f,%.2f ", x, y);
    return svg + "\"/>\n";
}

std::string document(double height, const std::string &body)
{
    return format("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%.0f\" height=\"%.0f\" "
                  "viewBox=\"0 0 %.0f %.0f\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
                  WIDTH, height, WIDTH, height) +
           body + "</svg>\n";
}

// The symbol of a support at pixel x, on the axis at y, for a barrel of
// half-height h pixels; facing is -1 at the breech, +1 at the muzzle.
std::string support_symbol(const analysis::support &s, double x, double y, double h, int facing)
{
    const double out = x + facing * 14;
    switch (s.kind) {
    case analysis::support_kind::free: return "";
    case analysis::support_kind::clamped: {
        std::string svg = format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#222\" stroke-width=\"3\"/>\n",
                                 x, y - h - 12, x, y + h + 12);
        for (double t = y - h - 12; t < y + h + 12; t += 8)
            svg += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#222\"/>\n", x, t, out,
                          t + 8);
        return svg;
    }
    case analysis::support_kind::pinned:
        return format("<polygon points=\"%.1f,%.1f %.1f,%.1f %.1f,%.1f\" fill=\"none\" stroke=\"#222\" stroke-width=\"2\"/>\n",
                      x, y + h, x - 10, y + h + 16, x + 10, y + h + 16);
    case analysis::support_kind::springs: {
        std::string svg = format("<polyline fill=\"none\" stroke=\"#222\" stroke-width=\"1.5\" points=\"%.1f,%.1f ", x,
                                 y + h);
        for (int k = 1; k <= 6; ++k) svg += format("%.1f,%.1f ", x + (k % 2 ? 6 : -6), y + h + 4 * k);
        svg += format("%.1f,%.1f\"/>\n", x, y + h + 28);
        svg += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#222\" stroke-width=\"2\"/>\n",
                      x - 10, y + h + 28, x + 10, y + h + 28);
        return svg + format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" text-anchor=\"middle\" %s>springs</text>\n",
                            x, y + h + 42, FONT);
    }
    }
    return "";
}

}  // namespace

std::string barrel_plot(const analysis::barrel &program_barrel, const analysis::analysis_result &program_result,
                        unit_system units)
{
    const analysis::barrel b = to_file_units(program_barrel, units);
    const analysis::analysis_result result = to_file_units(program_result, units);
    const std::string along = std::string(units == unit_system::mm ? "millimetres" : "inches") + " from the breech face";
    const char *mass = mass_unit(units);
    const double length = analysis::barrel_length(b);
    double x_end = length, largest = b.bore;
    for (const analysis::contour_point &p : b.contour) largest = std::max(largest, p.diameter);
    for (const analysis::attachment &a : b.attachments)
        x_end = std::max(x_end, analysis::attachment_point(b, a) + std::max(2 * a.overhang, 0.05 * length));
    const double plot_width = WIDTH - LEFT - RIGHT;
    const axis x_axis = nice_axis(0, x_end, 8);
    const double scale = plot_width / (x_axis.hi - x_axis.lo);  // px per inch, the same across and along
    const double barrel_height = std::max(70.0, largest * scale * 1.6 + 50), axis_y = 40 + barrel_height / 2;
    const frame top{LEFT, 40, plot_width, barrel_height, x_axis, {0, 1, 1}};
    std::string body = format("<text x=\"%.1f\" y=\"24\" font-size=\"16\" font-weight=\"bold\" %s>Barrel, %.4g %s, "
                              "%.4g %s%s</text>\n",
                              LEFT, FONT, length, length_unit(units), result.barrel.mass + result.barrel.attached_mass,
                              mass, result.barrel.attached_mass > 0 ? " with attachments" : "");
    body += draw_axes(top, along, "", false);

    // Outside contour, then the bore over it.
    std::string outline;
    for (const analysis::contour_point &p : b.contour) outline += format("%.2f,%.2f ", top.px(p.x), axis_y - p.diameter / 2 * scale);
    for (auto p = b.contour.rbegin(); p != b.contour.rend(); ++p)
        outline += format("%.2f,%.2f ", top.px(p->x), axis_y + p->diameter / 2 * scale);
    body += "<polygon fill=\"#b8c2cc\" stroke=\"#333\" stroke-width=\"1.5\" points=\"" + outline + "\"/>\n";
    if (b.bore > 0)
        body += format("<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"white\" stroke=\"#333\" "
                       "stroke-dasharray=\"4,3\"/>\n",
                       top.px(0), axis_y - b.bore / 2 * scale, length * scale, b.bore * scale);
    for (const analysis::attachment &a : b.attachments) {
        const double at = analysis::attachment_point(b, a), extent = std::max(2 * a.overhang, 0.05 * length);
        const double half = std::max(0.6 * largest, analysis::outside_diameter(b, std::min(at, length)) * 0.7) * scale;
        body += format("<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#f4d58d\" fill-opacity=\"0.8\" "
                       "stroke=\"#7a5c00\" stroke-width=\"1.5\"/>\n",
                       top.px(at), axis_y - half, extent * scale, 2 * half);
        body += format("<text x=\"%.2f\" y=\"%.2f\" font-size=\"12\" text-anchor=\"middle\" %s>%s %.3g %s</text>\n",
                       top.px(at + extent / 2), axis_y - half - 6, FONT, escape(a.name).c_str(), a.mass, mass);
    }
    const double half_at_ends[] = {b.contour.front().diameter / 2 * scale, b.contour.back().diameter / 2 * scale};
    body += support_symbol(b.breech, top.px(0), axis_y, half_at_ends[0], -1);
    body += support_symbol(b.muzzle, top.px(length), axis_y, half_at_ends[1], +1);

    // One panel a mode, the same x scale as the barrel.
    double y = 40 + barrel_height + 60;
    constexpr double PANEL = 150;
    for (std::size_t i = 0; i < result.modes.size(); ++i, y += PANEL + 60) {
        const analysis::mode &m = result.modes[i];
        const frame f{LEFT, y, plot_width, PANEL, x_axis, {-1.2, 1.2, 0.6}};
        const char *colour = COLOURS[i % 8];
        body += format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"14\" font-weight=\"bold\" fill=\"%s\" %s>Mode %zu: "
                       "%.2f Hz</text>\n",
                       LEFT, y - 8, colour, FONT, i + 1, m.frequency);
        body += draw_axes(f, i + 1 == result.modes.size() ? along : "", "displacement");
        body += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#888\"/>\n", f.px(0), f.py(0),
                       f.px(length), f.py(0));
        std::vector<std::pair<double, double>> points;
        for (const auto &point : m.shape) points.push_back({f.px(point[0]), f.py(point[1])});
        body += polyline(points, colour);
        for (double node : m.nodes) {
            body += format("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"white\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                           f.px(node), f.py(0), colour);
            body += format("<text x=\"%.2f\" y=\"%.2f\" font-size=\"11\" text-anchor=\"middle\" %s>%.2f</text>\n",
                           f.px(node), f.py(0) + 18, FONT, node);
        }
    }
    return document(y - 20, body);
}

std::string sweep_plot(const std::vector<varied_path> &varied, const std::vector<design_outcome> &outcomes, int modes,
                       unit_system units)
{
    const varied_path &first = varied.front();
    const std::string unit = unit_of(first.path, units);
    const std::string x_label = first.path + (unit.empty() ? "" : " (" + unit + ")");
    const double plot_width = WIDTH - LEFT - RIGHT - (varied.size() > 1 ? 150 : 0);
    const axis x_axis = nice_axis(first.values.front(), first.values.back(), 8);
    const std::size_t inner = varied.size() > 1 ? varied[1].values.size() : 1;
    auto frequency = [&](std::size_t outer, std::size_t in, int mode) {
        const design_outcome &o = outcomes[outer * inner + in];
        return o.result ? o.result->modes[mode].frequency : std::numeric_limits<double>::quiet_NaN();
    };
    // Curves broken where a design failed.
    auto curve = [&](const frame &f, std::size_t in, int mode, const char *colour) {
        std::string svg;
        std::vector<std::pair<double, double>> run;
        for (std::size_t k = 0; k < first.values.size(); ++k) {
            const double value = frequency(k, in, mode);
            if (std::isnan(value)) {
                svg += polyline(run, colour), run.clear();
                continue;
            }
            run.push_back({f.px(first.values[k]), f.py(value)});
        }
        if (first.values.size() <= 60)
            for (const auto &[px, py] : run) svg += format("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"2.5\" fill=\"%s\"/>\n", px, py, colour);
        return svg + polyline(run, colour);
    };
    auto y_range = [&](int mode) {
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (std::size_t k = 0; k < first.values.size(); ++k)
            for (std::size_t in = 0; in < inner; ++in) {
                const double value = frequency(k, in, mode);
                if (!std::isnan(value)) lo = std::min(lo, value), hi = std::max(hi, value);
            }
        return std::isfinite(lo) ? nice_axis(lo, hi) : axis{0, 1, 0.2};
    };

    std::string body;
    double y = 50;
    constexpr double PANEL = 220;
    if (varied.size() == 1) {
        body += format("<text x=\"%.1f\" y=\"28\" font-size=\"16\" font-weight=\"bold\" %s>Frequencies against %s</text>\n",
                       LEFT, FONT, escape(first.path).c_str());
        for (int mode = 0; mode < modes; ++mode, y += PANEL + 70) {
            const frame f{LEFT, y, plot_width, PANEL, x_axis, y_range(mode)};
            body += draw_axes(f, mode + 1 == modes ? x_label : "", format("f%d (Hz)", mode + 1));
            body += curve(f, 0, mode, COLOURS[mode % 8]);
        }
    } else {
        const varied_path &second = varied[1];
        body += format("<text x=\"%.1f\" y=\"28\" font-size=\"16\" font-weight=\"bold\" %s>First mode against %s, one "
                       "curve for each %s</text>\n",
                       LEFT, FONT, escape(first.path).c_str(), escape(second.path).c_str());
        const frame f{LEFT, y, plot_width, 2 * PANEL, x_axis, y_range(0)};
        body += draw_axes(f, x_label, "f1 (Hz)");
        const std::size_t shown = std::min<std::size_t>(inner, 24);
        for (std::size_t j = 0; j < shown; ++j) {
            const std::size_t in = inner <= 24 ? j : j * (inner - 1) / (shown - 1);
            const char *colour = COLOURS[j % 8];
            body += curve(f, in, 0, colour);
            const double ly = y + 12 + 18 * j;
            body += format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                           LEFT + plot_width + 16, ly - 4, LEFT + plot_width + 36, ly - 4, colour);
            body += format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\" %s>%s %s</text>\n", LEFT + plot_width + 42, ly,
                           FONT, number_text(second.values[in]).c_str(), escape(unit_of(second.path, units)).c_str());
        }
        y += 2 * PANEL + 70;
    }
    return document(y - 10, body);
}

}  // namespace cli

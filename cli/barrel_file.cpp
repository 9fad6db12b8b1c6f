#include "cli/barrel_file.h"

#include <toml++/toml.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>

namespace cli {

namespace {

// Reads one file's values, knowing where each came from.
class reader {
public:
    explicit reader(std::string name) : name_(std::move(name)) {}

    unit_system units = unit_system::inch;  // of the numbers in the file

    [[noreturn]] void fail(const toml::node *where, const std::string &field, const std::string &message) const
    {
        fail_at(where ? where->source() : toml::source_region{}, field, message);
    }

    [[noreturn]] void fail_at(const toml::source_region &where, const std::string &field,
                              const std::string &message) const
    {
        std::ostringstream text;
        text << name_;
        if (where.begin.line > 0) text << ':' << where.begin.line << ':' << where.begin.column;
        text << ": " << field << ": " << message;
        throw file_error(text.str());
    }

    // Every key of table must be one of known: a misspelt key is an error,
    // never ignored.
    void only_keys(const toml::table &table, const std::string &prefix, std::initializer_list<const char *> known) const
    {
        for (const auto &[key, value] : table) {
            bool found = false;
            for (const char *k : known) found = found || key.str() == k;
            if (!found) fail_at(key.source(), prefix + std::string(key.str()), "unknown key");
        }
    }

    // A number of the file, measuring kind, in the program's units.
    double number(const toml::node &node, const std::string &field, quantity kind) const
    {
        if (auto value = node.value<double>(); value && (node.is_floating_point() || node.is_integer()))
            return to_program_units(*value, kind, units);
        fail(&node, field, std::string("must be a number, not ") + type_name(node));
    }

    std::optional<double> optional_number(const toml::table &table, const char *key, const std::string &prefix,
                                          quantity kind) const
    {
        const toml::node *node = table.get(key);
        if (!node) return std::nullopt;
        return number(*node, prefix + key, kind);
    }

    double required_number(const toml::table &table, const char *key, const std::string &prefix, quantity kind) const
    {
        const toml::node *node = table.get(key);
        if (!node) fail(&table, prefix + key, "is missing");
        return number(*node, prefix + key, kind);
    }

    const toml::table &table(const toml::node &node, const std::string &field) const
    {
        if (!node.is_table()) fail(&node, field, std::string("must be a table, not ") + type_name(node));
        return *node.as_table();
    }

    std::string string(const toml::node &node, const std::string &field) const
    {
        if (!node.is_string()) fail(&node, field, std::string("must be a string, not ") + type_name(node));
        return *node.value<std::string>();
    }

    static const char *type_name(const toml::node &node)
    {
        switch (node.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "an array";
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a number";
        case toml::node_type::boolean: return "a boolean";
        default: return "a date or time";
        }
    }

    const std::string &name() const { return name_; }

private:
    std::string name_;
};

analysis::support read_support(const reader &r, const toml::node &node, const std::string &field)
{
    analysis::support s;
    if (node.is_table()) {
        const toml::table &t = *node.as_table();
        r.only_keys(t, field + ".", {"translational", "rotational"});
        s.kind = analysis::support_kind::springs;
        s.translational = r.optional_number(t, "translational", field + ".", quantity::stiffness).value_or(0);
        s.rotational = r.optional_number(t, "rotational", field + ".", quantity::turning_stiffness).value_or(0);
        return s;
    }
    const std::string kind = r.string(node, field);
    if (kind == "free") s.kind = analysis::support_kind::free;
    else if (kind == "clamped") s.kind = analysis::support_kind::clamped;
    else if (kind == "pinned") s.kind = analysis::support_kind::pinned;
    else
        throw analysis::invalid_barrel(field + ": unknown support \"" + kind +
                                       "\" (free, clamped, pinned, or a table of springs)");
    return s;
}

std::vector<analysis::contour_point> read_contour(const reader &r, const toml::node &node)
{
    if (!node.is_array()) r.fail(&node, "barrel.contour", "must be an array of [x, diameter] pairs");
    std::vector<analysis::contour_point> points;
    const toml::array &list = *node.as_array();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string field = "barrel.contour[" + std::to_string(i) + "]";
        const toml::array *pair = list[i].as_array();
        if (!pair || pair->size() != 2) r.fail(&list[i], field, "must be a pair [x, diameter]");
        points.push_back({r.number((*pair)[0], field + "[0]", quantity::length),
                          r.number((*pair)[1], field + "[1]", quantity::length)});
    }
    return points;
}

std::vector<analysis::contour_point> read_profile(const reader &r, const toml::table &profile)
{
    const std::string p = "barrel.profile.";
    r.only_keys(profile, p, {"a", "b", "c", "d", "ab", "bc", "cd"});
    const double a = r.required_number(profile, "a", p, quantity::length), b = r.required_number(profile, "b", p, quantity::length);
    const double c = r.required_number(profile, "c", p, quantity::length);
    const double ab = r.required_number(profile, "ab", p, quantity::length), bc = r.required_number(profile, "bc", p, quantity::length);
    std::vector<analysis::contour_point> points = {{0, a}, {ab, b}, {ab + bc, c}};
    const bool three_taper = profile.contains("d") || profile.contains("cd");
    if (three_taper) {
        const double d = r.required_number(profile, "d", p, quantity::length), cd = r.required_number(profile, "cd", p, quantity::length);
        points.push_back({ab + bc + cd, d});
    }
    return points;
}

analysis::barrel read_barrel(const reader &r, const toml::table &root)
{
    analysis::barrel b;
    const toml::node *node = root.get("barrel");
    if (!node) r.fail(nullptr, "barrel", "is missing");
    const toml::table &t = r.table(*node, "barrel");
    r.only_keys(t, "barrel.", {"bore", "contour", "profile", "steel", "material"});
    b.bore = r.required_number(t, "bore", "barrel.", quantity::length);

    const toml::node *contour = t.get("contour"), *profile = t.get("profile");
    if (contour && profile) r.fail(profile, "barrel.profile", "give either a contour or a profile, not both");
    if (contour) b.contour = read_contour(r, *contour);
    else if (profile) b.contour = read_profile(r, r.table(*profile, "barrel.profile"));
    else r.fail(&t, "barrel.contour", "is missing (or give a profile)");

    const toml::node *steel = t.get("steel"), *material = t.get("material");
    if (steel && material) r.fail(material, "barrel.material", "give either a steel or a material, not both");
    if (steel) {
        const std::string name = r.string(*steel, "barrel.steel");
        auto found = analysis::named_steel(name);
        if (!found) throw analysis::invalid_barrel("barrel.steel: unknown steel \"" + name + "\" (416R or 4140)");
        b.steel = *found;
    } else if (material) {
        const toml::table &m = r.table(*material, "barrel.material");
        const std::string p = "barrel.material.";
        r.only_keys(m, p, {"modulus", "density", "poisson"});
        b.steel.modulus = r.required_number(m, "modulus", p, quantity::modulus);
        b.steel.density = r.required_number(m, "density", p, quantity::weight_density) / analysis::STANDARD_GRAVITY;
        b.steel.poisson = r.required_number(m, "poisson", p, quantity::pure);
    } else {
        r.fail(&t, "barrel.steel", "is missing (or give a material)");
    }
    return b;
}

// Follows an override's path through the document and replaces the value
// there. Paths name tables by key and arrays by [index].
void apply_override(const reader &r, toml::table &root, const override_value &o)
{
    toml::node *node = &root;
    toml::table *parent_table = nullptr;
    toml::array *parent_array = nullptr;
    std::size_t index = 0;
    std::string key;
    std::size_t at = 0;
    const std::string &path = o.path;
    auto fail = [&](const std::string &why) { throw file_error(r.name() + ": --set " + path + ": " + why); };
    while (at < path.size()) {
        if (path[at] == '[') {
            const std::size_t close = path.find(']', at);
            if (close == std::string::npos) fail("a '[' without its ']'");
            try {
                index = std::stoul(path.substr(at + 1, close - at - 1));
            } catch (const std::exception &) {
                fail("an index must be a whole number");
            }
            toml::array *array = node ? node->as_array() : nullptr;
            if (!array || index >= array->size()) fail("no element [" + std::to_string(index) + "] there");
            node = array->get(index);
            parent_table = nullptr;
            parent_array = array;
            at = close + 1;
            if (at < path.size() && path[at] == '.') ++at;
        } else {
            const std::size_t end = path.find_first_of(".[", at);
            key = path.substr(at, end == std::string::npos ? std::string::npos : end - at);
            toml::table *table = node ? node->as_table() : nullptr;
            if (!table || key.empty()) fail("no table to hold \"" + key + "\"");
            parent_table = table;
            parent_array = nullptr;
            node = table->get(key);
            at = end == std::string::npos ? path.size() : end;
            if (at < path.size() && path[at] == '.') ++at;
            if (!node && at < path.size()) node = table->insert_or_assign(key, toml::table{}).first->second.as_table();
        }
    }
    toml::table parsed;
    if (o.number) {
        parsed.insert_or_assign("value", *o.number);
    } else {
        try {
            parsed = toml::parse("value = " + o.text);
        } catch (const toml::parse_error &) {
            parsed.insert_or_assign("value", o.text);  // a bare word: a string
        }
    }
    const toml::node &value = *parsed.get("value");
    if (parent_table) value.visit([&](auto &&v) { parent_table->insert_or_assign(key, v); });
    else if (parent_array) value.visit([&](auto &&v) { parent_array->replace(parent_array->cbegin() + index, v); });
    else fail("that path names no value of the file");
}

}  // namespace

override_value parse_override(const std::string &text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw file_error("--set " + text + ": expected PATH=VALUE, for example barrel.bore=0.3");
    return {text.substr(0, equals), text.substr(equals + 1), std::nullopt};
}

// The file's text and its parse. Overrides are applied to a parse of their
// own: a copied table forgets where its values stood in the file, which the
// messages need.
struct barrel_template::document {
    std::string text;
    toml::table root;
};

namespace {

toml::table parse_toml(const std::string &text, const std::string &name)
{
    try {
        return toml::parse(text, name);
    } catch (const toml::parse_error &error) {
        std::ostringstream message;
        message << name << ':' << error.source().begin.line << ':' << error.source().begin.column << ": "
                << error.description();
        throw file_error(message.str());
    }
}

}  // namespace

barrel_template::barrel_template(std::shared_ptr<const document> root, std::string name)
    : root_(std::move(root)), name_(std::move(name))
{
}

barrel_template barrel_template::parse(const std::string &text, const std::string &name)
{
    auto parsed = std::make_shared<document>();
    parsed->text = text;
    parsed->root = parse_toml(text, name);
    return barrel_template(std::move(parsed), name);
}

barrel_template barrel_template::read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw file_error(path + ": cannot be read: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw file_error(path + ": cannot be read");
    return parse(text.str(), path);
}

barrel_file barrel_template::with(const std::vector<override_value> &overrides) const
{
    reader r(name_);
    toml::table edited;
    std::optional<double> length;
    if (!overrides.empty()) edited = parse_toml(root_->text, name_);
    for (const override_value &o : overrides) {
        if (o.path != "length") {
            apply_override(r, edited, o);
            continue;
        }
        if (!o.number) {
            char *end = nullptr;
            const double value = std::strtod(o.text.c_str(), &end);
            if (o.text.empty() || *end != '\0') throw file_error(name_ + ": length: must be a number");
            length = value;
        } else {
            length = *o.number;
        }
    }
    const toml::table &root = overrides.empty() ? root_->root : edited;

    r.only_keys(root, "", {"units", "theory", "barrel", "supports", "attachment"});
    barrel_file file;
    if (const toml::node *units = root.get("units")) {
        const std::string name = r.string(*units, "units");
        if (name == "mm") file.units = unit_system::mm;
        else if (name != "inch") r.fail(units, "units", "must be \"inch\" or \"mm\"");
    }
    r.units = file.units;
    if (const toml::node *theory = root.get("theory")) {
        const std::string kind = r.string(*theory, "theory");
        if (kind == "euler-bernoulli") file.theory = analysis::beam_theory::euler_bernoulli;
        else if (kind == "timoshenko") file.theory = analysis::beam_theory::timoshenko;
        else r.fail(theory, "theory", "must be \"euler-bernoulli\" or \"timoshenko\"");
    }
    file.barrel = read_barrel(r, root);
    if (const toml::node *supports = root.get("supports")) {
        const toml::table &t = r.table(*supports, "supports");
        r.only_keys(t, "supports.", {"breech", "muzzle"});
        if (const toml::node *n = t.get("breech")) file.barrel.breech = read_support(r, *n, "supports.breech");
        if (const toml::node *n = t.get("muzzle")) file.barrel.muzzle = read_support(r, *n, "supports.muzzle");
    }
    if (const toml::node *list = root.get("attachment")) {
        const toml::array *array = list->as_array();
        if (!array) r.fail(list, "attachment", "must be an array of tables ([[attachment]])");
        for (std::size_t i = 0; i < array->size(); ++i) {
            const std::string p = "attachment[" + std::to_string(i) + "].";
            const toml::table &t = r.table((*array)[i], "attachment[" + std::to_string(i) + "]");
            r.only_keys(t, p, {"name", "at", "mass", "inertia", "overhang"});
            analysis::attachment a;
            if (const toml::node *n = t.get("name")) a.name = r.string(*n, p + "name");
            a.at = r.optional_number(t, "at", p, quantity::length);
            a.mass = r.required_number(t, "mass", p, quantity::mass);
            a.inertia = r.optional_number(t, "inertia", p, quantity::inertia).value_or(0);
            a.overhang = r.optional_number(t, "overhang", p, quantity::length).value_or(0);
            file.barrel.attachments.push_back(a);
        }
    }
    if (length) file.barrel = analysis::cut_to_length(file.barrel, to_program_units(*length, quantity::length, file.units));
    return file;
}

}  // namespace cli

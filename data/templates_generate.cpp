// Builds the template catalogue QXLTPL.DBF (and its index QXLTPL.CDX with the tag TEMPLATE)
// from the readable list in templates.tsv. Every line is checked before anything is written:
// a template that does not fit its sheet, or that the template editor would refuse, stops the
// build with the line number.
//
//   stickwell-templates TEMPLATES.TSV OUTPUT-DIRECTORY
#include "library/TableLayouts.h"
#include "xbase/Table.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Stock {
    std::string name;
    double height = 0, width = 0, top = 0, left = 0, hpitch = 0, vpitch = 0; // inches
    int across = 0, down = 0;
    std::string paper, shape;
};

struct Sheet {
    double width, height; // inches
};

const std::map<std::string, Sheet>& Papers()
{
    static const std::map<std::string, Sheet> papers = {
        {"LTR", {8.5, 11.0}},
        {"LTRL", {11.0, 8.5}},
        {"A4", {210 / 25.4, 297 / 25.4}},
        {"A4L", {297 / 25.4, 210 / 25.4}},
        {"A5", {148 / 25.4, 210 / 25.4}},
        {"USER", {0, 0}}, // the printer's own paper: nothing to check against
    };
    return papers;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, '\t'))
        out.push_back(cell);
    return out;
}

bool ParseNumber(const std::string& text, double& value)
{
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

bool ParseInt(const std::string& text, int& value)
{
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

// Empty when the stock is sound, else what is wrong with it.
std::string Check(const Stock& s)
{
    if (s.name.empty() || s.name.size() > sw::library::kTemplateWidth)
        return "name must have 1 to 60 characters";
    // The editor's own limits: a stock the user could not save is not supplied either.
    if (s.height < 0.3)
        return "height below 0.3 inches";
    if (s.width < 1.0)
        return "width below 1 inch";
    if (s.across < 1 || s.across > 10 || s.down < 1 || s.down > 30)
        return "across must be 1 to 10 and down 1 to 30";
    if (s.across > 1 && s.hpitch + 1e-9 < s.width)
        return "horizontal pitch below the width";
    if (s.down > 1 && s.vpitch + 1e-9 < s.height)
        return "vertical pitch below the height";
    for (double v : {s.height, s.width, s.top, s.left, s.hpitch, s.vpitch})
        if (v < 0 || v > 99.999)
            return "a length does not fit N(6,3)";
    if (s.shape != "RR" && s.shape != "RE" && s.shape != "SR")
        return "outline must be RR, RE or SR";
    auto paper = Papers().find(s.paper);
    if (paper == Papers().end())
        return "unknown paper code";
    if (paper->second.width > 0) {
        // Half a millimetre of slack for the makers' rounded figures.
        const double slack = 0.5 / 25.4;
        double right = s.left + (s.across - 1) * s.hpitch + s.width;
        double bottom = s.top + (s.down - 1) * s.vpitch + s.height;
        if (right > paper->second.width + slack)
            return "labels run off the right edge of the sheet";
        if (bottom > paper->second.height + slack)
            return "labels run off the bottom of the sheet";
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: stickwell-templates TEMPLATES.TSV OUTPUT-DIRECTORY\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::vector<Stock> stocks;
    std::string line;
    int lineNo = 0;
    bool bad = false;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        auto cells = SplitTabs(line);
        Stock s;
        double raw[6];
        bool ok = cells.size() == 12;
        if (ok) {
            s.name = cells[0];
            const std::string& unit = cells[1];
            const double scale = unit == "mm" ? 1 / 25.4 : 1.0;
            ok = (unit == "mm" || unit == "in") && ParseNumber(cells[2], raw[0]) &&
                 ParseNumber(cells[3], raw[1]) && ParseInt(cells[4], s.across) &&
                 ParseInt(cells[5], s.down) && ParseNumber(cells[6], raw[2]) &&
                 ParseNumber(cells[7], raw[3]) && ParseNumber(cells[8], raw[4]) &&
                 ParseNumber(cells[9], raw[5]);
            s.height = raw[0] * scale;
            s.width = raw[1] * scale;
            s.top = raw[2] * scale;
            s.left = raw[3] * scale;
            s.hpitch = raw[4] * scale;
            s.vpitch = raw[5] * scale;
            s.paper = cells[10];
            s.shape = cells[11];
        }
        std::string problem = ok ? Check(s) : "expected 12 tab-separated cells with numbers";
        if (!problem.empty()) {
            std::cerr << argv[1] << ":" << lineNo << ": " << problem << "\n";
            bad = true;
            continue;
        }
        stocks.push_back(s);
    }
    if (bad)
        return 1;

    namespace fs = std::filesystem;
    const fs::path dir = argv[2];
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const char* name : {"QXLTPL.DBF", "QXLTPL.CDX", "QXLTPL.cdx"})
        fs::remove(dir / name, ec);
    const std::string path = (dir / sw::library::kTemplateTableName).string();
    try {
        sw::xbase::Table::create(path, sw::library::TemplateTableFields());
        sw::xbase::Table table(path, sw::xbase::OpenMode::Exclusive);
        for (const Stock& s : stocks) {
            table.appendBlank();
            table.putString("TEMPLATE", s.name);
            table.putNumber("LBLHEIGHT", s.height);
            table.putNumber("LBLWIDTH", s.width);
            table.putNumber("NBRACROSS", s.across);
            table.putNumber("NBRDOWN", s.down);
            table.putNumber("TOPMARG", s.top);
            table.putNumber("LEFTMARG", s.left);
            table.putNumber("HORIZPITCH", s.hpitch);
            table.putNumber("VERTPITCH", s.vpitch);
            table.putString("PAPERSIZE", s.paper);
            table.putLogical("USERDEF", false);
            table.putString("LBLSHAPE", s.shape);
            table.putRecord();
        }
        table.indexTag(sw::library::kTemplateTag, sw::library::kTemplateKey);
        table.close();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cout << stocks.size() << " templates written to " << path << "\n";
    return 0;
}

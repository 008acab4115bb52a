// quorvane-cli: the headless companion. It reads table files through the same code as the
// program and prints what the program would show.
#include <CLI/CLI.hpp>

#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"

namespace {

int Run(int argc, char** argv) {
    CLI::App app{"quorvane-cli: reads Quorvane table files (.qvd) without a window"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("quorvane-cli ") + QV_VERSION);

    std::string file;
    int32_t col = 0;
    std::string text;

    CLI::App* dump = app.add_subcommand("dump", "print a table file as JSON");
    dump->add_option("FILE", file, "table file")->required();

    CLI::App* stats = app.add_subcommand("stats", "print the statistics report of a column");
    stats->add_option("FILE", file, "table file")->required();
    stats->add_option("COL", col, "grid column (1 is the first data column)")->required();

    CLI::App* count = app.add_subcommand("count", "count the cells of a column equal to TEXT");
    count->add_option("FILE", file, "table file")->required();
    count->add_option("COL", col, "grid column (1 is the first data column)")->required();
    count->add_option("TEXT", text, "the text to look for (UTF-8)")->required();

    std::string format = "csv";
    std::string exportEncoding = "utf-8-bom";
    const std::map<std::string, char> formats{{"csv", ','}, {"tsv", '\t'}};
    const std::map<std::string, qv::TextEncoding> encodings{
        {"utf-8", qv::TextEncoding::Utf8},
        {"utf-8-bom", qv::TextEncoding::Utf8WithBom},
        {"cp932", qv::TextEncoding::Cp932}};
    CLI::App* exportCommand =
        app.add_subcommand("export", "write the item names and data cells as CSV or TSV");
    exportCommand->add_option("FILE", file, "table file")->required();
    exportCommand->add_option("--format", format, "csv (default) or tsv")
        ->check(CLI::IsMember({"csv", "tsv"}));
    exportCommand->add_option("--encoding", exportEncoding, "utf-8, utf-8-bom (default) or cp932")
        ->check(CLI::IsMember({"utf-8", "utf-8-bom", "cp932"}));

    qv::cli::ImportArguments importArgs;
    std::string importEncoding;
    CLI::App* importCommand =
        app.add_subcommand("import", "read a CSV or TSV file into a new table file");
    importCommand->add_option("CSV", importArgs.csv, "CSV or TSV file")->required();
    importCommand->add_option("OUT", importArgs.out, "table file to write (.qvd)")->required();
    importCommand->add_option("--title", importArgs.title,
                              "title (default: the CSV file's base name)");
    importCommand
        ->add_option("--encoding", importEncoding, "utf-8, utf-8-bom or cp932 (default: detected)")
        ->check(CLI::IsMember({"utf-8", "utf-8-bom", "cp932"}));
    std::string importDelimiter;
    const std::map<std::string, char> delimiters{{"comma", ','}, {"tab", '\t'}, {"semicolon", ';'}};
    importCommand
        ->add_option("--delimiter", importDelimiter, "comma, tab or semicolon (default: detected)")
        ->check(CLI::IsMember({"comma", "tab", "semicolon"}));
    importCommand->add_flag("--header", importArgs.header, "the first record holds the item names");
    importCommand->add_flag("--replace-unencodable", importArgs.replaceUnencodable,
                            "read characters Shift-JIS lacks as 〓 instead of failing");
    importCommand->add_flag("--force", importArgs.force, "replace an existing OUT");

    qv::cli::PdfArguments pdfArgs;
    std::string paper = "A4";
    bool landscape = false;
    bool fitWidth = false;
    CLI::App* pdf = app.add_subcommand("pdf", "write the table's printed pages as a PDF file");
    pdf->add_option("IN", pdfArgs.in, "table file")->required();
    pdf->add_option("OUT", pdfArgs.out, "PDF file to write")->required();
    pdf->add_option("--paper", paper, "A4 (default), A3, B5, B4 or letter")
        ->check(CLI::IsMember({"A4", "A3", "B5", "B4", "letter"}, CLI::ignore_case));
    pdf->add_flag("--landscape", landscape, "turn the paper sideways");
    pdf->add_flag("--fit-width", fitWidth, "shrink the columns to the page's width");
    pdf->add_flag("--force", pdfArgs.force, "replace an existing OUT");

    qv::cli::SortArguments sortArgs;
    CLI::App* sort = app.add_subcommand("sort", "write the table with its data rows sorted");
    sort->add_option("IN", sortArgs.in, "table file")->required();
    sort->add_option("OUT", sortArgs.out, "table file to write")->required();
    sort->add_option("--key", sortArgs.keys,
                     "N[:desc][:number|:date|:reading|:reading=M], the first deciding first")
        ->required()
        ->allow_extra_args(false);
    sort->add_flag("--force", sortArgs.force, "replace an existing OUT");

    qv::cli::ConvertArguments convertArgs;
    std::string conversion;
    const std::map<std::string, qv::CharacterConversion> conversions{
        {"halfwidth", qv::CharacterConversion::ToHalfWidthAlphanumerics},
        {"fullwidth", qv::CharacterConversion::ToFullWidthAlphanumerics},
        {"fullwidth-kana", qv::CharacterConversion::ToFullWidthKana},
        {"hiragana", qv::CharacterConversion::ToHiragana},
        {"katakana", qv::CharacterConversion::ToKatakana},
        {"trim", qv::CharacterConversion::TrimBlanks}};
    CLI::App* convert = app.add_subcommand(
        "convert", "write the table with the character kinds of its cells converted");
    convert->add_option("IN", convertArgs.in, "table file")->required();
    convert->add_option("OUT", convertArgs.out, "table file to write")->required();
    convert
        ->add_option("--to", conversion,
                     "halfwidth, fullwidth, fullwidth-kana, hiragana, katakana or trim")
        ->required()
        ->check(CLI::IsMember(conversions));
    convert->add_option("--cols", convertArgs.cols, "the columns to convert (default: all)")
        ->delimiter(',')
        ->allow_extra_args(false);
    convert->add_flag("--force", convertArgs.force, "replace an existing OUT");

    qv::cli::DedupeArguments dedupeArgs;
    CLI::App* dedupe = app.add_subcommand("dedupe", "write the table without its duplicate rows");
    dedupe->add_option("IN", dedupeArgs.in, "table file")->required();
    dedupe->add_option("OUT", dedupeArgs.out, "table file to write")->required();
    dedupe->add_option("--cols", dedupeArgs.cols, "key columns, e.g. 1,3 (default: all)")
        ->delimiter(',');
    dedupe->add_flag("--loose", dedupeArgs.loose, "ignore width, kana and case in the keys");
    dedupe->add_flag("--force", dedupeArgs.force, "replace an existing OUT");

    qv::cli::FindArguments findArgs;
    CLI::App* find = app.add_subcommand("find", "print the cells that match PATTERN");
    find->add_option("FILE", findArgs.file, "table file")->required();
    find->add_option("PATTERN", findArgs.pattern, "the text to look for (UTF-8)")->required();
    find->add_option("--col", findArgs.col, "search only this grid column");
    find->add_flag("--whole", findArgs.whole, "the whole cell must match");
    find->add_flag("--case", findArgs.caseSensitive, "tell upper and lower case apart");
    find->add_flag("--regex", findArgs.regex, "PATTERN is a regular expression (PCRE2)");
    find->add_flag("--loose", findArgs.loose, "ignore width, kana and case");

    qv::cli::DiffArguments diffArgs;
    CLI::App* diff = app.add_subcommand(
        "diff", "print the differences between two table files (exit 0 same, 1 differ, 2 trouble)");
    diff->add_option("A", diffArgs.a, "table file")->required();
    diff->add_option("B", diffArgs.b, "table file")->required();
    diff->add_option("--key", diffArgs.keys, "pair rows by these grid columns (N[,M...])")
        ->delimiter(',');
    diff->add_flag("--loose", diffArgs.loose,
                   "ignore differences of width, kana and case (全角/半角・かな・大小)");

    qv::cli::FilterArguments filterArgs;
    CLI::App* filter =
        app.add_subcommand("filter", "write a table of the data rows that meet every condition");
    filter->add_option("IN", filterArgs.in, "table file")->required();
    filter->add_option("OUT", filterArgs.out, "table file to write (.qvd)")->required();
    filter->add_option("--col", filterArgs.col, "grid column (1 is the first; default: any)");
    const std::pair<const char*, qv::FilterTest> textTests[] = {
        {"--contains", qv::FilterTest::Contains},        {"--equals", qv::FilterTest::Equals},
        {"--starts", qv::FilterTest::StartsWith},        {"--ends", qv::FilterTest::EndsWith},
        {"--not-contains", qv::FilterTest::NotContains}, {"--regex", qv::FilterTest::Regex}};
    std::vector<std::vector<std::string>> textValues(std::size(textTests));
    for (std::size_t i = 0; i < std::size(textTests); ++i) {
        filter->add_option(textTests[i].first, textValues[i], "a text the cell is tested with")
            ->allow_extra_args(false);
    }
    bool empty = false;
    bool notEmpty = false;
    filter->add_flag("--empty", empty, "the cell is empty");
    filter->add_flag("--not-empty", notEmpty, "the cell is not empty");
    filter->add_option("--number-op", filterArgs.numberOp, "=, !=, >, >=, < or <=");
    filter->add_option("--number", filterArgs.number, "the number the cell is compared with");
    filter->add_flag("--loose", filterArgs.loose, "ignore width, kana and letter case");
    filter->add_flag("--force", filterArgs.force, "replace an existing OUT");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return qv::cli::kExitUsage;
    }

    if (*dump) {
        return qv::cli::RunDump(file, std::cout, std::cerr);
    }
    if (*stats) {
        return qv::cli::RunStats(file, col, std::cout, std::cerr);
    }
    if (*exportCommand) {
        return qv::cli::RunExport(file, formats.at(format), encodings.at(exportEncoding),
                                  std::cerr);
    }
    if (*importCommand) {
        if (!importEncoding.empty()) {
            importArgs.encoding = encodings.at(importEncoding);
        }
        if (!importDelimiter.empty()) {
            importArgs.delimiter = delimiters.at(importDelimiter);
        }
        return qv::cli::RunImport(importArgs, std::cerr);
    }
    if (*dedupe) {
        return qv::cli::RunDedupe(dedupeArgs, std::cerr);
    }
    if (*find) {
        return qv::cli::RunFind(findArgs, std::cout, std::cerr);
    }
    if (*diff) {
        return qv::cli::RunDiff(diffArgs, std::cout, std::cerr);
    }
    if (*filter) {
        for (std::size_t i = 0; i < std::size(textTests); ++i) {
            for (const std::string& value : textValues[i]) {
                filterArgs.textTests.emplace_back(textTests[i].second, value);
            }
        }
        if (empty) {
            filterArgs.textTests.emplace_back(qv::FilterTest::Empty, "");
        }
        if (notEmpty) {
            filterArgs.textTests.emplace_back(qv::FilterTest::NotEmpty, "");
        }
        return qv::cli::RunFilter(filterArgs, std::cerr);
    }
    if (*pdf) {
        pdfArgs.choices.paper = qv::PaperFromName(paper).value_or(qv::Paper::A4);
        if (landscape) {
            pdfArgs.choices.orientation = qv::PageOrientation::Landscape;
        }
        if (fitWidth) {
            pdfArgs.choices.scaling = qv::ColumnScaling::FitPageWidth;
        }
        return qv::cli::RunPdf(pdfArgs, std::cerr);
    }
    if (*sort) {
        return qv::cli::RunSort(sortArgs, std::cerr);
    }
    if (*convert) {
        convertArgs.conversion = conversions.at(conversion);
        return qv::cli::RunConvert(convertArgs, std::cerr);
    }
    return qv::cli::RunCount(file, col, text, std::cout, std::cerr);
}

}  // namespace

// Every exception ends here as a failure with exit status 1; none reaches std::terminate.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        return qv::cli::ReportFailure(failure, std::cerr);
    } catch (...) {
        std::cerr << qv::cli::kUnexpectedFailureMessage << '\n';
        return qv::cli::kExitFailure;
    }
}

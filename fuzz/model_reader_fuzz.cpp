// Feeds bytes to the model file readers: as a JSON model or manifest, as a combinations file and
// as a CSV table. Any crash, hang, leak or undefined behaviour is a finding, and so is a model
// that reads but does not read back the same from what the writer makes of it.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "csv_file.h"
#include "xsect/io/model_file.h"

using namespace xsect::io;

namespace {

void ReadTable(std::string_view text) {
    CsvFile table;
    std::string error;
    if (!table.OpenText(text, "fuzz.csv", error)) return;
    const int columns[] = {table.Column("id"), table.Column("x"), table.Column("n1"), 0, 1, 2, 7};
    while (table.Next(error)) {
        for (int c : columns) {
            double v = 0.0;
            std::int32_t i = 0;
            table.Number(c, v, error);
            table.Int32(c, i, error);
            (void)table.Place(c);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadTable(text);

    Model model;
    std::string error;
    // An empty base directory keeps a manifest's tables away from the disk: they fail to open.
    if (!ParseModelText(text, "fuzz.json", "/nonexistent", model, error)) {
        if (error.empty() || error.find('\n') != std::string::npos) std::abort();  // one line, always
        Model empty;
        ParseCombinationsText(text, "fuzz.json", empty, error);
        return 0;
    }
    ParseCombinationsText(text, "combinations.json", model, error);
    // Whatever reads must write and read back to the same text.
    const std::string once = WriteModelJson(model);
    Model again;
    if (!ParseModelText(once, "again.json", "", again, error)) std::abort();
    if (WriteModelJson(again) != once) std::abort();
    return 0;
}

#pragma once

namespace tsumiki {

// The spreadsheet application that writes the exported workbooks. Its operations arrive with the export;
// until then the program carries a placeholder so that every screen is built with the same context.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
};

class NoSpreadsheet final : public Spreadsheet {};

}  // namespace tsumiki

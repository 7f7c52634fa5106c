#include "host/sheet/sheet_objects_win.h"

#include <string>

#include "host/sheet/dispatch_object_win.h"
#include "host/sheet/sheet_app_win.h"

namespace ionsift::sheet {
namespace {

// Longest sheet name a workbook accepts, and the characters it refuses.
constexpr std::size_t kSheetNameLongest = 31;
constexpr char kSheetNameRefused[] = "[]:*?/\\";

void RequireGetOrMethod(const DispatchCall& call) {
    if (!call.IsGet() && !call.IsMethod()) throw ServeFailure{DISP_E_MEMBERNOTFOUND, {}};
}

// Index of a 1-based collection item.
std::size_t ItemIndex(long number, std::size_t count) {
    if (number < 1 || static_cast<std::size_t>(number) > count) throw ServeFailure{DISP_E_BADINDEX, {}};
    return static_cast<std::size_t>(number - 1);
}

class FontObject final : public DispatchObject {
public:
    FontObject(SheetAppPtr app, std::size_t book, std::size_t sheet, int row, int column)
        : DispatchObject("Font", {L"Bold", L"Italic", L"Underline", L"Superscript", L"Subscript",
                                  L"Strikethrough"}),
          app_(std::move(app)), book_(book), sheet_(sheet), row_(row), column_(column) {}

protected:
    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        static constexpr unsigned kFlags[] = {kFontBold, kFontItalic,
                                              kFontUnderline, kFontSuperscript, kFontSubscript,
                                              kFontStrikethrough};
        const unsigned flag = kFlags[index];
        Cell& cell = app_->books[book_].sheets[sheet_].At(row_, column_);
        if (call.IsPut()) {
            const bool on = BooleanValue(call);
            cell.font = on ? cell.font | flag : cell.font & ~flag;
            RefreshSheetWindow(*app_);
            return;
        }
        RequireGetOrMethod(call);
        ReturnBoolean(result, (cell.font & flag) != 0);
    }

private:
    SheetAppPtr app_;
    std::size_t book_, sheet_;
    int row_, column_;
};

// The whole sheet (row and column 0) or the one cell at row, column.
class RangeObject final : public DispatchObject {
public:
    RangeObject(SheetAppPtr app, std::size_t book, std::size_t sheet, int row, int column)
        : DispatchObject("Range", {L"Cells", L"Value", L"Font"}),
          app_(std::move(app)), book_(book), sheet_(sheet), row_(row), column_(column) {}

protected:
    enum Member { kCells, kValue, kFont };

    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        switch (index) {
            case kCells: {
                RequireGetOrMethod(call);
                if (call.arguments.empty()) {
                    ReturnObject(result, new RangeObject(app_, book_, sheet_, row_, column_));
                    return;
                }
                // Relative to the range's first cell, as spreadsheets count.
                const int row = (row_ ? row_ : 1) + static_cast<int>(IntArgument(call, 0)) - 1;
                const int column = (column_ ? column_ : 1) + static_cast<int>(IntArgument(call, 1)) - 1;
                if (row < 1 || column < 1) throw ServeFailure{DISP_E_BADINDEX, {}};
                ReturnObject(result, new RangeObject(app_, book_, sheet_, row, column));
                return;
            }
            case kValue: {
                if (!row_) Fail("only single cells take a value here");
                Sheet& sheet = app_->books[book_].sheets[sheet_];
                if (call.IsPut()) {
                    sheet.At(row_, column_).text = TextValue(call);
                    RefreshSheetWindow(*app_);
                    return;
                }
                RequireGetOrMethod(call);
                const Cell* cell = sheet.Find(row_, column_);
                ReturnText(result, cell ? cell->text : std::string());
                return;
            }
            case kFont:
                RequireGetOrMethod(call);
                if (!row_) Fail("only single cells have a font here");
                ReturnObject(result, new FontObject(app_, book_, sheet_, row_, column_));
                return;
            default:
                throw ServeFailure{DISP_E_MEMBERNOTFOUND, {}};
        }
    }

private:
    SheetAppPtr app_;
    std::size_t book_, sheet_;
    int row_, column_;
};

class WorksheetObject final : public DispatchObject {
public:
    WorksheetObject(SheetAppPtr app, std::size_t book, std::size_t sheet)
        : DispatchObject("Worksheet", {L"Activate", L"Select", L"Cells", L"Name"}),
          app_(std::move(app)), book_(book), sheet_(sheet) {}

protected:
    enum Member { kActivate, kSelect, kCells, kName };

    void Serve(int index, const DispatchCall& call, VARIANT* result) override;

private:
    SheetAppPtr app_;
    std::size_t book_, sheet_;
};

void WorksheetObject::Serve(int index, const DispatchCall& call, VARIANT* result) {
    Workbook& book = app_->books[book_];
    switch (index) {
        case kActivate:
        case kSelect:
            book.activeSheet = static_cast<int>(sheet_);
            app_->activeBook = static_cast<int>(book_);
            RefreshSheetWindow(*app_);
            return;
        case kCells:
            RequireGetOrMethod(call);
            ReturnObject(result, new RangeObject(app_, book_, sheet_, 0, 0));
            return;
        case kName:
            if (call.IsPut()) {
                const std::string name = TextValue(call);
                if (name.empty() || name.size() > kSheetNameLongest ||
                    name.find_first_of(kSheetNameRefused) != std::string::npos) {
                    Fail("not a valid sheet name");
                }
                book.sheets[sheet_].name = name;
                RefreshSheetWindow(*app_);
                return;
            }
            RequireGetOrMethod(call);
            ReturnText(result, book.sheets[sheet_].name);
            return;
        default:
            throw ServeFailure{DISP_E_MEMBERNOTFOUND, {}};
    }
}

class SheetsObject final : public DispatchObject {
public:
    SheetsObject(SheetAppPtr app, std::size_t book)
        : DispatchObject("Sheets", {L"Item", L"Count"}), app_(std::move(app)), book_(book) {}

protected:
    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        RequireGetOrMethod(call);
        const std::size_t count = app_->books[book_].sheets.size();
        if (index == 1) {
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(count);
            return;
        }
        const std::size_t sheet = ItemIndex(IntArgument(call, 0), count);
        ReturnObject(result, new WorksheetObject(app_, book_, sheet));
    }

private:
    SheetAppPtr app_;
    std::size_t book_;
};

class WorkbookObject final : public DispatchObject {
public:
    WorkbookObject(SheetAppPtr app, std::size_t book)
        : DispatchObject("Workbook", {L"Activate", L"Sheets", L"Name"}),
          app_(std::move(app)), book_(book) {}

protected:
    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        if (index == 0) {
            app_->activeBook = static_cast<int>(book_);
            RefreshSheetWindow(*app_);
            return;
        }
        RequireGetOrMethod(call);
        if (index == 1) {
            ReturnObject(result, new SheetsObject(app_, book_));
        } else {
            ReturnText(result, app_->books[book_].name);
        }
    }

private:
    SheetAppPtr app_;
    std::size_t book_;
};

class WorkbooksObject final : public DispatchObject {
public:
    explicit WorkbooksObject(SheetAppPtr app)
        : DispatchObject("Workbooks", {L"Add", L"Item", L"Count"}), app_(std::move(app)) {}

protected:
    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        RequireGetOrMethod(call);
        switch (index) {
            case 0:  // Add: a new workbook, which becomes the active one
                app_->books.push_back(NewWorkbook(++app_->booksMade));
                app_->activeBook = static_cast<int>(app_->books.size() - 1);
                RefreshSheetWindow(*app_);
                ReturnObject(result, new WorkbookObject(app_, app_->books.size() - 1));
                return;
            case 1:
                ReturnObject(result, new WorkbookObject(
                                         app_, ItemIndex(IntArgument(call, 0), app_->books.size())));
                return;
            default:
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(app_->books.size());
                return;
        }
    }

private:
    SheetAppPtr app_;
};

class ApplicationObject final : public DispatchObject {
public:
    explicit ApplicationObject(SheetAppPtr app)
        : DispatchObject("Application", {L"Workbooks", L"Visible", L"Quit"}), app_(std::move(app)) {}

protected:
    enum Member { kWorkbooks, kVisible, kQuit };

    void Serve(int index, const DispatchCall& call, VARIANT* result) override {
        switch (index) {
            case kWorkbooks:
                RequireGetOrMethod(call);
                ReturnObject(result, new WorkbooksObject(app_));
                return;
            case kVisible:
                if (call.IsPut()) {
                    if (!ShowSheetWindow(app_, BooleanValue(call))) Fail("the window could not be opened");
                    return;
                }
                RequireGetOrMethod(call);
                ReturnBoolean(result, app_->window && IsWindowVisible(app_->window));
                return;
            case kQuit:
                CloseSheetWindow(*app_);
                return;
            default:
                throw ServeFailure{DISP_E_MEMBERNOTFOUND, {}};
        }
    }

private:
    SheetAppPtr app_;
};

// With this variable set, a request is served by the application already on
// screen, as a running spreadsheet application may serve it.
constexpr char kRunningVariable[] = "IONSIFT_SHEET_RUNNING";

// The application the last request started, while its state lives.
std::weak_ptr<SheetApp> g_lastStarted;

}  // namespace

IDispatch* NewApplication() {
    if (GetEnvironmentVariableA(kRunningVariable, nullptr, 0) > 0) {
        const SheetAppPtr running = g_lastStarted.lock();
        if (running && running->window && IsWindowVisible(running->window)) {
            return new ApplicationObject(running);
        }
    }
    SheetAppPtr app = std::make_shared<SheetApp>();
    g_lastStarted = app;
    return new ApplicationObject(std::move(app));
}

}  // namespace ionsift::sheet

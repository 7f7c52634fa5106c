#include "export/excel8_driver_win.h"

#include <string>

#include "export/automation_error.h"
#include "export/font_styles.h"
#include "export/sheet_name.h"

namespace ionsift {

TExcel8Driver::~TExcel8Driver() {
    for (ScopedVariant* reference : {&cells_, &sheet_, &sheets_, &workbook_, &workbooks_,
                                     &application_}) {
        reference->Clear();
    }
}

void TExcel8Driver::Create() {
    CLSID classId{};
    HRESULT result = CLSIDFromProgID(L"Excel.Application", &classId);
    if (FAILED(result)) throw AutomationError("CLSIDFromProgID(Excel.Application)", result);
    IDispatch* application = nullptr;
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&application));
    if (FAILED(result)) throw AutomationError("CoCreateInstance(Excel.Application)", result);
    application_ = ScopedVariant::Adopt(application);

    const ScopedVariant first = ScopedVariant::Int(1);
    workbooks_ = Automate(application_, "Application", L"Workbooks", CallKind::Get);
    Automate(workbooks_, "Workbooks", L"Add", CallKind::Method);
    workbook_ = Automate(workbooks_, "Workbooks", L"Item", CallKind::Get, {&first.Get()});
    Automate(workbook_, "Workbook", L"Activate", CallKind::Method);
    sheets_ = Automate(workbook_, "Workbook", L"Sheets", CallKind::Get);
    sheet_ = Automate(sheets_, "Sheets", L"Item", CallKind::Get, {&first.Get()});
    Automate(sheet_, "Worksheet", L"Activate", CallKind::Method);
    cells_ = Automate(sheet_, "Worksheet", L"Cells", CallKind::Get);
}

void TExcel8Driver::View() {
    const ScopedVariant visible = ScopedVariant::Boolean(true);
    Automate(application_, "Application", L"Visible", CallKind::Put, {&visible.Get()});
    shown_ = true;
}

void TExcel8Driver::Destroy() { Automate(application_, "Application", L"Quit", CallKind::Method); }

bool TExcel8Driver::Visible() const {
    const ScopedVariant answer = Automate(application_, "Application", L"Visible", CallKind::Get);
    ScopedVariant visible;
    const HRESULT result =
        VariantChangeType(visible.Out(), const_cast<VARIANT*>(&answer.Get()), 0, VT_BOOL);
    if (FAILED(result)) throw AutomationError("Application.Visible", result, "not a Boolean");
    return visible.Get().boolVal != VARIANT_FALSE;
}

ScopedVariant TExcel8Driver::Cell(int row, int column) const {
    const ScopedVariant rowArgument = ScopedVariant::Int(row);
    const ScopedVariant columnArgument = ScopedVariant::Int(column);
    return Automate(cells_, "Cells", L"Cells", CallKind::Get,
                    {&rowArgument.Get(), &columnArgument.Get()});
}

void TExcel8Driver::SetCellValue(int row, int column, const VARIANT& value) {
    const ScopedVariant cell = Cell(row, column);
    Automate(cell, "Cell", L"Value", CallKind::Put, {&value});
}

void TExcel8Driver::SetCellText(int row, int column, int style, const char* text) {
    const ScopedVariant cell = Cell(row, column);
    const ScopedVariant value = ScopedVariant::Text(text);
    Automate(cell, "Cell", L"Value", CallKind::Put, {&value.Get()});
    if (style == 0) return;
    const ScopedVariant font = Automate(cell, "Cell", L"Font", CallKind::Get);
    for (const FontStyleProperty& property : kFontStyleOrder) {
        const ScopedVariant on = ScopedVariant::Boolean((style & property.bit) != 0);
        Automate(font, "Font", property.name, CallKind::Put, {&on.Get()});
    }
}

void TExcel8Driver::SetSheetName(const char* text) {
    const std::string name = CutSheetName(text ? text : "");
    Automate(sheet_, "Worksheet", L"Select", CallKind::Method);
    const ScopedVariant value = ScopedVariant::Text(name.c_str());
    Automate(sheet_, "Worksheet", L"Name", CallKind::Put, {&value.Get()});
}

}  // namespace ionsift

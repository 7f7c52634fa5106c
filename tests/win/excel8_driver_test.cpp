// TExcel8Driver against the spreadsheet stand-in registered in the test's
// Wine prefix: the calls each operation makes, as the stand-in journals them,
// the visible application outliving the driver, and failures as exceptions.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export/automation_error.h"
#include "export/excel8_driver_win.h"
#include "tests/win/sheet_stand_in_win.h"

namespace ionsift::wintest {
namespace {

using Lines = std::vector<std::string>;

// The nine steps of Create, as the stand-in names its objects.
const Lines kCreateCalls = {
    "Application\tWorkbooks\tget",  "Workbooks\tAdd\tmethod",     "Workbooks\tItem\tget\t1",
    "Workbook\tActivate\tmethod",   "Workbook\tSheets\tget",      "Sheets\tItem\tget\t1",
    "Worksheet\tActivate\tmethod",  "Worksheet\tCells\tget",
};

Lines After(const Lines& lines, std::size_t skip) {
    return skip <= lines.size() ? Lines(lines.begin() + static_cast<std::ptrdiff_t>(skip), lines.end())
                                : Lines{};
}

class DriverOnStandIn : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
    void TearDown() override {
        CloseSheetWindows();
        OleUninitialize();
    }
    SheetJournal journal_;
};

TEST_F(DriverOnStandIn, CellTextSetsAllSixFontPropertiesOnlyForAStyle) {
    TExcel8Driver driver;
    driver.Create();
    EXPECT_EQ(journal_.Lines(), kCreateCalls);

    driver.SetCellText(2, 3, 3, "x \xB1 \"y\"");  // bold and italic
    driver.SetCellText(4, 1, 0, "plain");
    driver.SetCellText(5, 2, 32 | 4, "");          // underline and strikethrough
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_R8;
    number.dblVal = 1.5;
    driver.SetCellValue(6, 1, number);
    driver.SetSheetName("abcdefghijklmnopqrstuvwx");  // exactly 24: kept whole
    driver.SetSheetName("abcdefghijklmnopqrstuvwxyz");
    driver.Destroy();
    EXPECT_EQ(After(journal_.Lines(), kCreateCalls.size()),
              (Lines{"Range\tCells\tget\t2\t3",
                     "Range\tValue\tput\t\"x \xB1 \\\"y\\\"\"",
                     "Range\tFont\tget",
                     "Font\tBold\tput\ttrue",
                     "Font\tItalic\tput\ttrue",
                     "Font\tUnderline\tput\tfalse",
                     "Font\tSuperscript\tput\tfalse",
                     "Font\tSubscript\tput\tfalse",
                     "Font\tStrikethrough\tput\tfalse",
                     "Range\tCells\tget\t4\t1",
                     "Range\tValue\tput\t\"plain\"",
                     "Range\tCells\tget\t5\t2",
                     "Range\tValue\tput\t\"\"",
                     "Range\tFont\tget",
                     "Font\tBold\tput\tfalse",
                     "Font\tItalic\tput\tfalse",
                     "Font\tUnderline\tput\ttrue",
                     "Font\tSuperscript\tput\tfalse",
                     "Font\tSubscript\tput\tfalse",
                     "Font\tStrikethrough\tput\ttrue",
                     "Range\tCells\tget\t6\t1",
                     "Range\tValue\tput\t1.5",
                     "Worksheet\tSelect\tmethod",
                     "Worksheet\tName\tput\t\"abcdefghijklmnopqrstuvwx\"",
                     "Worksheet\tSelect\tmethod",
                     "Worksheet\tName\tput\t\"abcdefghijklmnopqrstuvwx\"",
                     "Application\tQuit\tmethod"}));
    EXPECT_EQ(FindSheetWindow(), nullptr) << "never made visible";
}

TEST_F(DriverOnStandIn, AShownApplicationOutlivesTheDriverAndOleUntilItQuits) {
    {
        TExcel8Driver driver;
        driver.Create();
        driver.SetSheetName("Mass 500.000000 \xB1 2.000 ");
        driver.SetCellText(1, 1, 1, "Mass");
        driver.View();
        EXPECT_TRUE(driver.Shown());
    }
    // The driver released everything; OLE goes too, as after the export.
    OleUninitialize();
    const HWND window = FindSheetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(WindowText(window).find("Mass 500.000000 \xB1 2.000 "), std::string::npos)
        << WindowText(window);
    // Its code is still loaded: it paints.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_EQ(OleInitialize(nullptr), S_OK);

    // Destroy quits a visible application and its window goes with it.
    TExcel8Driver second;
    second.Create();
    second.View();
    ASSERT_EQ(SheetWindows().size(), 2u);
    second.Destroy();
    EXPECT_EQ(SheetWindows(), std::vector<HWND>{window}) << "only the second one quit";
}

// The save dialog, answered from inside its modal loop: a file name, then OK.
std::string g_savePath;
bool g_saveAnswered = false;
void CALLBACK AnswerSaveDialog(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = FindWindowA("#32770", nullptr);
    if (!dialog || g_saveAnswered) return;
    constexpr int kFileNameCombo = 0x47c;  // cmb13 of the explorer-style dialog
    constexpr int kFileNameEdit = 0x480;   // edt1 of the old style
    if (!SetDlgItemTextA(dialog, kFileNameCombo, g_savePath.c_str()) &&
        !SetDlgItemTextA(dialog, kFileNameEdit, g_savePath.c_str())) {
        return;
    }
    g_saveAnswered = true;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(DriverOnStandIn, TheWindowSavesTheSheetAsCsv) {
    TExcel8Driver driver;
    driver.Create();
    driver.SetCellText(1, 1, 1, "Mass");
    driver.SetCellText(1, 3, 1, "Name");
    driver.SetCellText(2, 1, 0, "180.063388");
    driver.SetCellText(2, 3, 0, "keto, \"form\"");
    driver.View();
    const HWND window = FindSheetWindow();
    ASSERT_NE(window, nullptr);

    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    g_savePath = std::string(folder) + "sheet-save-test.csv";
    DeleteFileA(g_savePath.c_str());
    g_saveAnswered = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerSaveDialog);
    constexpr int kSaveCsvCommand = 1;  // File > Save as CSV...
    SendMessageA(window, WM_COMMAND, kSaveCsvCommand, 0);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_saveAnswered) << "no save dialog seen";

    std::ifstream file(g_savePath, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "Mass,,Name\r\n180.063388,,\"keto, \"\"form\"\"\"\r\n");
    file.close();
    DeleteFileA(g_savePath.c_str());
}

TEST_F(DriverOnStandIn, FailuresCarryTheStepTheCodeAndTheApplicationsText) {
    {
        const SheetFailure failure("Workbooks.Add");
        TExcel8Driver driver;
        try {
            driver.Create();
            ADD_FAILURE() << "Create went through";
        } catch (const AutomationError& error) {
            EXPECT_EQ(error.Operation(), "Workbooks.Add");
            EXPECT_EQ(error.Code(), DISP_E_EXCEPTION);
            EXPECT_EQ(error.Description(), "Add failed as IONSIFT_SHEET_FAIL asked");
        }
        EXPECT_TRUE(driver.Started());
        EXPECT_FALSE(driver.Shown());
    }
    // A name the sheet refuses: the stand-in's own exception text.
    TExcel8Driver driver;
    driver.Create();
    try {
        driver.SetSheetName("a:b");
        ADD_FAILURE() << "the name was taken";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.Operation(), "Worksheet.Name");
        EXPECT_EQ(error.Description(), "not a valid sheet name");
    }
}

// Malformed DISPPARAMS from a careless client are refused, not read.
TEST_F(DriverOnStandIn, TheStandInRefusesArgumentsItCannotRead) {
    CLSID classId{};
    ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &classId), S_OK);
    IDispatch* application = nullptr;
    ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&application)),
              S_OK);
    const auto id = [application](const wchar_t* member) {
        DISPID found = DISPID_UNKNOWN;
        LPOLESTR name = const_cast<LPOLESTR>(member);
        application->GetIDsOfNames(IID_NULL, &name, 1, 2048, &found);
        return found;
    };
    const DISPID visible = id(L"Visible");
    const DISPID workbooks = id(L"Workbooks");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    // A put that names its argument without the array of names.
    DISPPARAMS put{&value, nullptr, 1, 1};
    EXPECT_EQ(application->Invoke(visible, IID_NULL, 2048, DISPATCH_PROPERTYPUT, &put, nullptr,
                                  nullptr, nullptr),
              E_INVALIDARG);
    // Arguments counted but not given.
    DISPPARAMS missing{nullptr, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(application->Invoke(workbooks, IID_NULL, 2048, DISPATCH_PROPERTYGET, &missing,
                                  &result, nullptr, nullptr),
              E_INVALIDARG);
    // By-reference values that refer to nothing, or to themselves.
    DISPID putId = DISPID_PROPERTYPUT;
    VARIANT byReference;
    VariantInit(&byReference);
    byReference.vt = VT_BYREF | VT_VARIANT;
    byReference.pvarVal = nullptr;
    DISPPARAMS empty{&byReference, &putId, 1, 1};
    EXPECT_EQ(application->Invoke(visible, IID_NULL, 2048, DISPATCH_PROPERTYPUT, &empty, nullptr,
                                  nullptr, nullptr),
              DISP_E_TYPEMISMATCH);
    byReference.pvarVal = &byReference;
    EXPECT_EQ(application->Invoke(visible, IID_NULL, 2048, DISPATCH_PROPERTYPUT, &empty, nullptr,
                                  nullptr, nullptr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(FindSheetWindow(), nullptr);  // nothing was made visible
    application->Release();
}

TEST_F(DriverOnStandIn, WithoutTheProgIdCreateFailsAtItsFirstStep) {
    const HiddenProgId hidden;
    ASSERT_TRUE(hidden.Hidden()) << "the stand-in is not registered in this prefix";
    TExcel8Driver driver;
    try {
        driver.Create();
        ADD_FAILURE() << "Create went through";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.Operation(), "CLSIDFromProgID(Excel.Application)");
        EXPECT_TRUE(FAILED(error.Code()));
    }
    EXPECT_FALSE(driver.Started());
    EXPECT_TRUE(journal_.Lines().empty());
}

}  // namespace
}  // namespace ionsift::wintest

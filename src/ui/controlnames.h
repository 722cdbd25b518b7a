#pragma once

#include <QLatin1String>

// The given objectNames of the screens and of the controls that tests, the screenshot walk and accessibility
// clients find, in one place. The members that hold them are named by what they hold.
namespace tsumiki::names {

namespace form0 {
inline constexpr QLatin1String screen{"Form0"};
inline constexpr QLatin1String userIdBox{"Text1"};
inline constexpr QLatin1String nickname{"Label2"};
inline constexpr QLatin1String refusal{"Label3"};
inline constexpr QLatin1String nextButton{"cmdNext"};
inline constexpr QLatin1String endButton{"cmdEnd"};
}  // namespace form0

namespace form1 {
inline constexpr QLatin1String screen{"Form1"};
inline constexpr QLatin1String today{"Label4"};
inline constexpr QLatin1String nickname{"Label5"};
inline constexpr QLatin1String clockInTime{"Label1"};
inline constexpr QLatin1String clockInDate{"Label8"};
inline constexpr QLatin1String clockOutTime{"Label3"};
inline constexpr QLatin1String greeting{"Label2"};
inline constexpr QLatin1String douhanBox{"Check1"};
inline constexpr QLatin1String clockInButton{"cmdin"};
inline constexpr QLatin1String clockOutButton{"cmdout"};
inline constexpr QLatin1String sheetsButton{"cmdkinmu"};
inline constexpr QLatin1String maintenanceButton{"cmdMast"};
inline constexpr QLatin1String logOffButton{"cmdEnd"};
}  // namespace form1

namespace form2 {
inline constexpr QLatin1String screen{"Form2"};
inline constexpr QLatin1String people{"Combo1"};
inline constexpr QLatin1String yearBox{"Text1"};
inline constexpr QLatin1String months{"Combo2"};
inline constexpr QLatin1String individualButton{"cmdNext"};
inline constexpr QLatin1String staffButton{"cmdSum"};
inline constexpr QLatin1String backButton{"cmdEnd"};
}  // namespace form2

// Both sheet screens.
namespace sheet {
inline constexpr QLatin1String grid{"MSFlexGrid1"};
inline constexpr QLatin1String month{"Label2"};
inline constexpr QLatin1String exportButton{"Command1"};
inline constexpr QLatin1String backButton{"cmdEnd"};
}  // namespace sheet

namespace form4 {
inline constexpr QLatin1String screen{"Form4"};
inline constexpr QLatin1String nickname{"Label1"};
inline constexpr QLatin1String total{"Label4"};
inline constexpr QLatin1String totalCopy{"Label6"};
inline constexpr QLatin1String unitPriceBox{"txtTanka"};
inline constexpr QLatin1String amount{"Label9"};
inline constexpr QLatin1String recalculateButton{"cmdkeisan"};
}  // namespace form4

namespace form5 {
inline constexpr QLatin1String screen{"Form5"};
}  // namespace form5

namespace menu_mast {
inline constexpr QLatin1String screen{"Menu_Mast"};
inline constexpr QLatin1String mastersFrame{"Frame1"};
inline constexpr QLatin1String periodicFrame{"Frame2"};
inline constexpr QLatin1String usersButton{"cmdin"};
inline constexpr QLatin1String controlButton{"Command1"};
inline constexpr QLatin1String messagesButton{"Command4"};
inline constexpr QLatin1String clockRecordsButton{"Command2"};
inline constexpr QLatin1String backButton{"cmdEnd"};
}  // namespace menu_mast

// The four table editors (Mast_Ctrl, Mast_Message, Mast_User, Mast_Kinmu).
namespace editor {
inline constexpr QLatin1String grid{"MSFlexGrid1"};
inline constexpr QLatin1String backButton{"cmdEnd"};
inline constexpr QLatin1String saveButton{"cmdUpdate"};
inline constexpr QLatin1String addButton{"cmdAdd"};
inline constexpr QLatin1String deleteButton{"cmdDelete"};
inline constexpr QLatin1String deleteRowBox{"txtDeleteNo"};
// The clock-record editor's range: first and last row.
inline constexpr QLatin1String deleteFromBox{"txtDeleteNoF"};
inline constexpr QLatin1String rangeLabel{"Label2"};
inline constexpr QLatin1String deleteToBox{"txtDeleteNoT"};
}  // namespace editor

}  // namespace tsumiki::names

#include "toolkit/core/ErrorReporter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <utility>

#include "VOZUVar/Strings.h"
#include "VOZUVar/RecordFormatter.h"
#include "toolkit/core/OsLayerCore.h"

namespace {

ErrorStateRecord gErrorState;

// What mode 4's box adds below the error's text for the report being
// delivered: the file that was not written, so that the one box the user
// sees names it.
std::string gReportDetail;

// Toolkit codes and their texts, by code. Codes of 1..66 and 1001..1105
// that are not listed have no text.
constexpr std::pair<int32_t, const char*> kToolkitTexts[] = {
    {1, "Error opening file or device"},
    {2, "Error reading/writing file or device"},
    {3, "Error closing file or device"},
    {4, "Number too large in string to numeric conversion"},
    {5, "Graphics not supported on requested printer"},
    {10, "No substring found"},
    {11, "More than one decimal point in number"},
    {12, "Invalid character detected"},
    {13, "Operating system error"},
    {16, "Graphics unit range is invalid"},
    {18, "Numeric to string conversion error"},
    {20, "Circle/ellipse radius <=0, height ratio<=0 or arc angle=0"},
    {21, "Length of axis-parallel side of a parallelogram is =<0"},
    {22, "Width/height=0 for a rectangle/triangle/parallelogram"},
    {23, "No program name specified to IOsExecute"},
    {25, "Too many bytes in char set during conversion from ASCII"},
    {27, "Image file format not supported"},
    {28, "Borders cross in simple polygon definition"},
    {34, "Requested page size too large for raster image buffer"},
    {40, "Number of files matched by IOsDirInfo/List exceeds array size"},
    {42, "Unknown colour name/number specified to IGrColour/IGrColourN"},
    {43, "Contour heights must increase monotonically"},
    {44, "Invalid X and/or Y range in IGrArea/IGrViewport/IGrReplayArea"},
    {46, "No graphics hardcopy driver currently selected"},
    {49, "Fill too complex in IGrPolygonComplex"},
    {51, "A search box contains too many points in IPgXYZToGrid"},
    {54, "Mismatched driver/device in hardcopy options file"},
    {55, "Source and target file names same in copy command"},
    {58, "Min value greater than max value in IPgHighLow"},
    {63, "Windows printer not available"},
    {64, "Bit image transfer failed in IGrPrintImage"},
    {66, "Invalid character code in WGrTextWidth"},
    {1001, "Invalid menu item"},
    {1002, "Unable to load menu from resource"},
    {1003, "Invalid window handle"},
    {1004, "General error in common dialog"},
    {1005, "No dialog currently selected"},
    {1006, "Invalid field identifier"},
    {1007, "Dialog not present in resource - unable to load"},
    {1008, "Unable to select specified dialog"},
    {1009, "Attempt to store an out of range dialog field value"},
    {1010, "Field value undefined"},
    {1011, "Option number out of range or invalid item ID"},
    {1012, "Invalid tab number specified"},
    {1013, "Invalid range specified for progress bar"},
    {1014, "Invalid dialog mode requested"},
    {1015, "Invalid bitmap/icon/metafile identifier"},
    {1016, "Unable to display window/dialog. Parent window hidden"},
    {1017, "Cell co-ordinates out of range"},
    {1018, "Too many rows for grid field to hold"},
    {1019, "Invalid target drawing surface"},
    {1020, "Bitmap creation failed"},
    {1021, "Invalid bitmap handle"},
    {1022, "Only child windows can be converted into editors or viewers"},
    {1023, "Variable too small to receive text"},
    {1024, "Invalid editor mode requested"},
    {1025, "Editor can't have menu in InsideParent child window"},
    {1026, "User menu not supported with modal editor or grid window"},
    {1027, "General problem initializing editor"},
    {1028, "Current window is not a text editor"},
    {1029, "Invalid range specified for trackbar"},
    {1030, "General help viewer error"},
    {1031, "Not a valid help file extension"},
    {1032, "Editor does not have a command line"},
    {1033, "Editor can't have command line in InsideParent child window"},
    {1034, "External process timed out before completion"},
    {1035, "Failed to enable OpenGL graphics"},
    {1036, "Cannot destroy bitmap while in use by bitmap viewer"},
    {1037, "Specified bitmap is already in use"},
    {1038, "Window is already converted to a different type"},
    {1039, "Invalid bitmap viewer mode requested"},
    {1040, "General problem initializing bitmap viewer"},
    {1041, "X server modal dialog/window pixmap resources are low"},
    {1042, "X server modal dialog/window pixmap resources are exhausted"},
    {1043, "Invalid bitmap bitwise mode requested"},
    {1044, "Zlib compression/decompression error"},
    {1045, "Specified dialog has wrong style to be combined with a window"},
    {1046, "Parent window is combined with a dialog"},
    {1047, "Current dialog which is combined with a window"},
    {1048, "Item identifier already exists in treeview field"},
    {1049, "Treeview item is not a branch"},
    {1050, "Invalid pre-defined registry key"},
    {1051, "Grid window can't have menu in InsideParent child window"},
    {1052, "Invalid grid window mode requested"},
    {1053, "General problem initializing grid window"},
    {1054, "Data file contains more row or columns than grid field"},
    {1055, "Unable to match value from file with menu cell option"},
    {1056, "Parent window is converted to a special type"},
    {1057, "Cannot convert window when InsideParent windows exist"},
    {1058, "No name specified for user-defined font"},
    {1059, "Metafile creation failed"},
    {1060, "Invalid metafile handle"},
    {1061, "Unsupported metafile format"},
    {1062, "CGM memory metafile full"},
    {1063, "Cannot save image when drawable is a metafile"},
    {1064, "Cannot print image when drawable is a metafile"},
    {1065, "Bitmap operation on memory metafile not allowed"},
    {1066, "Error during bitmap put/get operation"},
    {1067, "Invalid editor buffer"},
    {1068, "No more editor buffers available"},
    {1069, "Cannot hide or unload a sub-dialog"},
    {1070, "Cannot set format in non-RTF editor window"},
    {1071, "Graphical input not allowed in memory bitmap/metafile"},
    {1072, "API error during bit image save"},
    {1073, "3D model vertex limit exceeded. Increase MAXVERTEX."},
    {1074, "3D model facet limit exceeded. Increase MAXFACET."},
    {1075, "3D model material number invalid"},
    {1076, "3D model workspace full. Increase MAXWORK."},
    {1077, "3D model internal error: Workspace empty."},
    {1078, "Unsupported 3D model file format"},
    {1079, "Insufficient space to add data from 3D model file"},
    {1080, "Unable to add one or more materials from a 3D model file"},
    {1081, "VIDADO.DLL not found"},
    {1082, "MAPI32.DLL not found. Unable to send e-mail"},
    {1083, "Error invoking e-mail program"},
    {1084, "Error encoding e-mail attachments"},
    {1085, "At least one e-mail recipient must be specified"},
    {1086, "Unsupported or invalid .wav sound file"},
    {1087, "Too many dialogs"},
    {1088, "Error during dialog creation"},
    {1089, "Facet polygon too large in 3D model"},
    {1090, "Invalid bitmap rotation angle"},
    {1091, "Dialog is already loaded"},
    {1092, "Editor does not have a command history"},
    {1093, "Unable to locate home directory"},
    {1094, "Error accessing the clipboard"},
    {1095, "Clipboard data type mismatch"},
    {1096, "Current window is not a special purpose window"},
    {1097, "Current drawable cannot display a cursor"},
    {1098, "Unable to initialise ODBC database access"},
    {1099, "Specified database record does not exist"},
    {1100, "Invalid database handle"},
    {1101, "Too many parts in 3D model"},
    {1102, "3D model part number invalid"},
    {1103, "3D model vertex number invalid"},
    {1104, "Part definitions not contiguous in 3D DXF file"},
    {1105, "3D model facet number invalid"},
};

constexpr std::pair<int32_t, const char*> kZlibTexts[] = {
    {-6, "incompatible version"}, {-5, "buffer error"}, {-4, "insufficient memory"},
    {-3, "data error"},           {-2, "stream error"}, {-1, "file error"},
    {1, "stream end"},            {2, "need dictionary"},
};

template <size_t N>
const char* Lookup(const std::pair<int32_t, const char*> (&table)[N], int32_t code) {
  auto it = std::lower_bound(std::begin(table), std::end(table), code,
                             [](const auto& e, int32_t c) { return e.first < c; });
  return it != std::end(table) && it->first == code ? it->second : "";
}

// The code right-justified in four characters; "****" when it does not fit.
std::string CodeField(int32_t code) {
  std::string field(4, ' ');
  RecordWrite(std::span<char>(field), "(I4)", {code});
  return field;
}

// Appends `text` to `buffer`, never past the message length.
void AppendBounded(std::string& buffer, std::string_view text) {
  size_t room = kErrorMessageLength > buffer.size() ? kErrorMessageLength - buffer.size() : 0;
  buffer.append(text.substr(0, std::min(room, text.size())));
}

bool InternalName(std::string_view name) {
  if (name.size() < 2) return false;
  std::string_view p = name.substr(0, 2);
  return p == "XX" || p == "xx" || p == "YY" || p == "yy";
}

void DeliverToStandardOutput(std::string_view message) {
  RecordWriteList(kConsoleUnit, {message});
  std::fflush(stdout);
}

void DeliverToStandardError(std::string_view message) {
  std::string line(message);
  for (auto& c : line) {
    if (c == '\r') c = '\n';
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

ErrorStateRecord& ErrorState() { return gErrorState; }
void ResetErrorState() { gErrorState = ErrorStateRecord{}; }

ErrorReportHooks& ErrorReportHooksRecord() {
  static ErrorReportHooks hooks;
  return hooks;
}

void YYLastErrorStore(int32_t code) { gErrorState.LastErrorCode = code; }
int32_t LastErrorCode() { return gErrorState.LastErrorCode; }

void YYERRMODE(int32_t mode) {
  if (mode >= 0 && mode <= 4) gErrorState.ReportMode = mode;
}

std::string ErrorMessageText(int32_t value, int32_t selector) {
  switch (selector) {
    case kToolkitMessages: return Lookup(kToolkitTexts, value);
    case kOsMessages: return YYOsErrorText(value, 301);
    case kZlibMessages: return Lookup(kZlibTexts, value);
    default: return std::string();
  }
}

void YYERRTEXT(int32_t value, std::string& text, int32_t selector) {
  if (selector < kToolkitMessages || selector > kZlibMessages) return;
  std::string message = ErrorMessageText(value, selector);
  size_t length = text.size();
  message.resize(length, ' ');
  text = std::move(message);
}

void YYERRREP(int32_t code, std::string_view name) {
  YYLastErrorStore(code);
  ErrorStateRecord& st = gErrorState;
  if (st.ReportMode <= 0) return;
  // A failure while reporting only stores its code: the mode is 0 until
  // the report is delivered.
  const int32_t mode = st.ReportMode;
  st.ReportMode = 0;
  const int32_t kept = st.LastErrorCode;

  std::string& buffer = st.MessageBuffer;
  const bool internal = InternalName(name);
  buffer = internal ? "Internal routine:" : "Routine:";
  buffer.append(name.substr(0, std::min(name.size(), size_t{internal ? 183u : 192u})));
  buffer.resize(TrimTrailingBlanks(buffer).size());
  const size_t headLength = buffer.size();

  const std::string code4 = CodeField(code);
  AppendBounded(buffer, " Error=" + code4 + ":");
  const size_t textStart = buffer.size();
  AppendBounded(buffer, Lookup(kToolkitTexts, code));

  const bool osDetail =
      code == 1044 || code == 13 || ((code == 1 || code == 2) && st.OsErrorKind == 2);
  if (osDetail && TrimTrailingBlanks(buffer).size() < kErrorMessageLength - 2) {
    std::string detail;
    if (code == 1044) {
      detail = ErrorMessageText(st.SecondaryStatus, kZlibMessages);
    } else if (code == 13) {
      detail = ErrorMessageText(st.SecondaryStatus, kOsMessages);
    } else {
      detail = ErrorMessageText(st.OsErrorNumber, kOsMessages);
    }
    buffer.resize(TrimTrailingBlanks(buffer).size());
    AppendBounded(buffer, ": " + detail);
  }
  buffer.resize(TrimTrailingBlanks(buffer).size());
  const std::string message = buffer;

  ErrorReportHooks& hooks = ErrorReportHooksRecord();
  switch (mode) {
    case 1:
      DeliverToStandardOutput(message);
      break;
    case 2:
      YYDebugWrite(message);
      break;
    case 3:
      if (hooks.statusBar != nullptr) {
        hooks.statusBar(message);
      } else {
        DeliverToStandardError(message);
      }
      break;
    case 4: {
      std::string text = message.substr(0, headLength);
      text += '\r';
      text += "Error=" + code4;
      text += '\r';
      if (textStart <= message.size()) text += message.substr(textStart);
      if (!gReportDetail.empty()) {
        text += '\r';
        text += gReportDetail;
      }
      int answer = 1;
      if (hooks.messageBox != nullptr) {
        answer = hooks.messageBox(text, "Library Error");
      } else {
        DeliverToStandardError(text);
      }
      if (answer == 0) YYAbnormalExit("", kCancelledErrorExitCode);
      break;
    }
    default:
      break;
  }
  st.ReportMode = mode;
  st.LastErrorCode = kept;
}

std::string FileErrorReason(int error) {
  const std::string text = error != 0 ? YYOsErrorText(error, 301) : std::string();
  return text.empty() ? std::string("Input/output error") : text;
}

namespace {

// `detail` names the file in mode 4's box, which already gives the
// system's reason.
void FileNotice(int32_t code, std::string_view routine, int error, const std::string& text,
                const std::string& detail) {
  ErrorStateRecord& st = gErrorState;
  st.OsErrorKind = 2;
  st.OsErrorNumber = error;
  const bool boxed = st.ReportMode == 4 && ErrorReportHooksRecord().messageBox != nullptr;
  gReportDetail = detail;
  YYERRREP(code, routine);
  gReportDetail.clear();
  // Mode 4 has shown its box, with the system's reason: one box a failure.
  if (boxed) return;
  constexpr std::string_view kCaption = "File Not Written";
  ErrorReportHooks& hooks = ErrorReportHooksRecord();
  if (hooks.fileNotice != nullptr) {
    hooks.fileNotice(text, kCaption);
  } else {
    DeliverToStandardError(std::string(kCaption) + ": " + text);
  }
}

}  // namespace

void YYFileNotWritten(int32_t code, std::string_view routine, std::string_view file, int error) {
  FileNotice(code, routine, error,
             "The file could not be written:\r" + std::string(file) + "\r" + FileErrorReason(error),
             std::string(file));
}

namespace {
// A name's length against the room of its field.
std::string NameAndRoom(std::string_view file, size_t room) {
  return "(" + std::to_string(file.size()) + " characters, at most " + std::to_string(room) + " fit)";
}
}  // namespace

std::string FileNameTooLongText(std::string_view file, size_t room, std::string_view outcome) {
  return "The file name is too long " + NameAndRoom(file, room) + "; " + std::string(outcome) + ":\r" +
         std::string(file);
}

void YYFileNameTooLong(std::string_view routine, std::string_view file, size_t room) {
  FileNotice(1, routine, ENAMETOOLONG, FileNameTooLongText(file, room, "nothing was written"),
             std::string(file) + "\r" + NameAndRoom(file, room));
}

void YYAbnormalExit(std::string_view text, int32_t code) {
  if (!TrimTrailingBlanks(text).empty()) {
    std::string field = CodeField(code);
    field.erase(0, field.find_first_not_of(' '));
    std::string message = "Abnormal exit (code " + field + ") : ";
    message.append(TrimTrailingBlanks(text));
    YYFatalMessage("Plovane", message);
  }
  YYExitProcess(code);
}

void YYDebugWrite(std::string_view text) { YYDebugFileLine(text); }

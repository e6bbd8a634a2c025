// Unbinding the other network protocols from the current adapter for the tests that take it over,
// and binding them again afterwards, through the binding tool. Chkbind_Ptl records which protocols
// are bound as three command files; Unbind_Ptl and bind_Ptl replay them.
#include <optional>
#include <string>
#include <string_view>

#include "kelvalib.h"
#include "kv/platform/files.h"
#include "kv/text.h"
#include "line_reader.h"
#include "outside_tools.h"
#include "state.h"

using namespace kv;

namespace {

constexpr char16_t kListFile[] = u"pt.txt";
constexpr char16_t kBindFile[] = u"bndis.txt";
constexpr char16_t kUnbindFile[] = u"ubndis.txt";
constexpr char16_t kCheckFile[] = u"chkbndisf.txt";
constexpr char kOwnProtocol[] = "tvx_tvndpt60";

// Line buffers: a listing line holds up to 509 characters, a command line up to 549.
constexpr size_t kListLineBuffer = 510;
constexpr size_t kCommandLineBuffer = 550;

struct ListedBinding {
    std::string component;
    std::string path;
};

// A line of the listing: "<binding path>,<adapter id>". Nothing for a line without a comma, one
// of another adapter, one without a component id, or one of the library's own protocol.
std::optional<ListedBinding> bindingOfAdapter(const std::string& line, const std::string& guid) {
    const size_t comma = line.find(',');
    if (comma == std::string::npos) return std::nullopt;
    // The adapter id is compared over the GUID's length; an empty GUID names no adapter.
    if (guid.empty() || line.compare(comma + 1, guid.size(), guid) != 0) return std::nullopt;
    ListedBinding b;
    b.path = line.substr(0, comma);
    // The component id is the first component of the "a->b" path.
    b.component = b.path.substr(0, b.path.find_first_of("->"));
    if (b.component.empty() || b.component == kOwnProtocol) return std::nullopt;
    return b;
}

std::string commandLine(std::string_view verb, const ListedBinding& b) {
    return std::string(verb) + " /b " + b.component + " /b2 " + b.path;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

void writeLine(platform::TextFile* file, const std::string& line) {
    if (file) file->write(line + "\n");
}

// Starts each command line of `commandFile` and checks its binding with the matching line of the
// check file until the state begins with `wanted`. False, having done nothing, when either file is
// missing.
bool replayRecorded(std::u16string_view commandFile, std::string_view wanted) {
    auto& files = platform::files();
    auto commands = files.open(commandFile, platform::FileMode::Read);
    auto checks = files.open(kCheckFile, platform::FileMode::Read);
    if (!commands || !checks) return false;
    lib::LineReader commandLines(*commands, kCommandLineBuffer);
    lib::LineReader checkLines(*checks, kCommandLineBuffer);
    while (auto command = commandLines.next()) {
        const auto check = checkLines.next();
        if (!check) break;
        lib::startHidden(lib::kBindingTool, ansiToUtf16(*command));
        lib::checkBinding(*check, [wanted](std::string_view state) { return startsWith(state, wanted); });
    }
    return true;
}

void deleteThroughCommandInterpreter(std::u16string_view file) {
    lib::startHidden(lib::kCommandInterpreter, u"/c del " + std::u16string(file));
}

}  // namespace

KV_API int Chkbind_Ptl(void) {
    const std::string guid = utf16ToAnsi(lib::currentAdapterGuid());
    // The listing is used as far as it got, also when the tool never reports completion.
    lib::runTool(lib::kBindingTool, u"/sb /b pt.txt", lib::kBindingRetries);

    auto& files = platform::files();
    auto list = files.open(kListFile, platform::FileMode::Read);
    auto bind = files.open(kBindFile, platform::FileMode::WriteTruncate);
    auto unbind = files.open(kUnbindFile, platform::FileMode::WriteTruncate);
    auto check = files.open(kCheckFile, platform::FileMode::WriteTruncate);
    if (!list) return 1;

    lib::LineReader lines(*list, kListLineBuffer);
    while (const auto line = lines.next()) {
        const auto binding = bindingOfAdapter(*line, guid);
        if (!binding) continue;
        const std::string checkLine = commandLine("/cb", *binding) + " /b3 bsts.txt";
        // A binding whose command lines could not be read back whole is left alone.
        if (checkLine.size() >= kCommandLineBuffer) continue;
        const std::string state = lib::checkBinding(checkLine, [](std::string_view s) { return !s.empty(); });
        if (!startsWith(state, "Binded")) continue;
        writeLine(unbind.get(), commandLine("/ub", *binding));
        writeLine(bind.get(), commandLine("/pb", *binding));
        writeLine(check.get(), checkLine);
    }
    return 1;
}

KV_API int Unbind_Ptl(void) {
    Chkbind_Ptl();
    // The bind and check files stay for bind_Ptl.
    if (replayRecorded(kUnbindFile, "Unbinded")) deleteThroughCommandInterpreter(kUnbindFile);
    return 1;
}

KV_API int bind_Ptl(void) {
    if (!replayRecorded(kBindFile, "Binded")) return 1;
    deleteThroughCommandInterpreter(kBindFile);
    deleteThroughCommandInterpreter(kCheckFile);
    return 1;
}

// The registry of simulated programs and what they share: parameters, settings, result files.
#include "kv/sim/programs.h"

#include <fstream>

#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

struct ProgramEntry {
    const char16_t* file;
    Program program;
};

// Every program the simulated machine can start, one line each.
constexpr ProgramEntry kPrograms[] = {
    {u"tvxbind.exe", runBindingTool}, {u"nicctlv6.exe", runNicControlTool},        {u"cmd.exe", runCommandInterpreter},
    {u"net.exe", runNetCommand},      {u"plantdrv64.exe", runDriverFileInstaller}, {u"ping.exe", runPing},
};

}  // namespace

Program findProgram(std::u16string_view file) {
    const size_t slash = file.find_last_of(u"\\/:");
    std::u16string name(slash == std::u16string_view::npos ? file : file.substr(slash + 1));
    if (name.find(u'.') == std::u16string::npos) name += u".exe";
    for (const auto& entry : kPrograms)
        if (equalsIgnoreCase(name, entry.file)) return entry.program;
    return nullptr;
}

std::vector<std::string> splitParameters(std::u16string_view parameters) {
    std::vector<std::string> args;
    const std::string text = utf16ToUtf8(parameters);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = text.find_first_not_of(" \t", pos);
        if (start == std::string::npos) break;
        const size_t end = std::min(text.find_first_of(" \t", start), text.size());
        args.push_back(text.substr(start, end - start));
        pos = end;
    }
    return args;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

ToolSettings toolSettings(Host& host, std::string_view name, uint32_t defaultDelayMs) {
    const Json& j = host.machine().config["tools"][name];
    ToolSettings s;
    s.delayMs = static_cast<uint32_t>(j["delayMs"].asUInt(defaultDelayMs));
    s.faults = j["faults"];
    s.neverCompletes = s.faults["neverCompletes"].asBool(false);
    return s;
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string_view::npos;
}

bool writeToolFile(const std::filesystem::path& directory, std::string_view name, std::string_view text) {
    if (!isPlainFileName(name)) return false;
    std::ofstream out(directory / std::string(name), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

void finishLater(ProgramRun& run, const ToolSettings& tool, std::string name, std::function<std::string()> work) {
    if (tool.neverCompletes) {
        run.host.trace().add("tool " + name + " hangs");
        return;
    }
    Host& host = run.host;
    run.host.clock().schedule(tool.delayMs,
                              [&host, directory = run.directory, name = std::move(name), work = std::move(work)] {
                                  const std::string what = work();
                                  writeToolFile(directory, "completed.txt", "");
                                  host.trace().add(Trace::escape("tool " + name + " " + what));
                              });
}

}  // namespace kv::sim

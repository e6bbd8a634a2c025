// The utility's settings and its Run value travel in registry.reg, also when a 32-bit utility on
// 64-bit Windows keeps them in the 32-bit registry view.
#include "capture_fixture.h"

namespace kv::capture::test {
namespace {

class Settings : public CaptureTest {};

TEST_F(Settings, TheUtilitysSettingsAndRunValueAreCapturedFromEitherRegistryView) {
    const struct {
        const char* name;
        const char* software;  // where the machine keeps them
    } cases[] = {{"64-bit view", "SOFTWARE"}, {"32-bit view", "SOFTWARE\\Wow6432Node"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string software = c.software;
        MachineBuilder machine;
        machine.registry("[HKEY_LOCAL_MACHINE\\" + software +
                         "\\Kelvadiag]\n\"ShowTrayIcon\"=\"0\"\n\"AppDir\"=\"C:\\\\Program Files\\\\Kelvadiag\"\n\n"
                         "[HKEY_LOCAL_MACHINE\\" +
                         software +
                         "\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Kelvadiag\"=\"C:\\\\Program "
                         "Files\\\\Kelvadiag\\\\Kelvadiag /hw\"\n\"Other\"=\"other.exe\"\n");
        machine.writeDirectory(folder(c.name));
        ASSERT_EQ(captureFreshly(folder(c.name), folder(std::string(c.name) + " captured")), 0);

        const std::string reg = fileText(folder(std::string(c.name) + " captured") / "registry.reg");
        EXPECT_NE(reg.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag]\n\"ShowTrayIcon\"=\"0\"\n"
                           "\"AppDir\"=\"C:\\\\Program Files\\\\Kelvadiag\"\n"),
                  std::string::npos)
            << reg;
        EXPECT_NE(reg.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                           "\"Kelvadiag\"=\"C:\\\\Program Files\\\\Kelvadiag\\\\Kelvadiag /hw\"\n"),
                  std::string::npos)
            << reg;
        EXPECT_EQ(reg.find("Other"), std::string::npos) << "the Run key's other values stay out";
        EXPECT_EQ(reg.find("Wow6432Node"), std::string::npos);
    }
}

}  // namespace
}  // namespace kv::capture::test

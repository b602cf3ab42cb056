// usage: velmora_demo.exe [SCREENSHOT.png]
//
// Runs Velmora.exe as a user would where nobody can watch it (the run
// command on a machine without a display): prints each status text as it
// appears and each message box, answers the start-up question with Yes, shows
// what was written once the update is complete, saves a screenshot of the
// window, and presses Close. Exits with Velmora's own exit code.

#include <cstdio>
#include <string>

#include "tests/e2e/RegistrySnapshot.h"
#include "tests/e2e/VelmoraProcess.h"
#include "tools/demo/Screenshot.h"

namespace {

using namespace e2e;
using demo::SaveScreenshot;

std::string Describe(const Value& value) {
    if (!value) {
        return "(none)";
    }
    const char* type = value->type == REG_SZ      ? "REG_SZ"
                       : value->type == REG_DWORD ? "REG_DWORD"
                                                  : "type ";
    std::string text = type;
    if (value->type != REG_SZ && value->type != REG_DWORD) {
        text += std::to_string(value->type);
    }
    text += ", " + std::to_string(value->bytes.size()) + " bytes:";
    char hex[4];
    for (const auto byte : value->bytes) {
        std::snprintf(hex, sizeof hex, " %02X", byte);
        text += hex;
    }
    return text;
}

long long Elapsed(const VelmoraProcess& velmora) {
    return std::chrono::duration_cast<Milliseconds>(Clock::now() - velmora.Started()).count();
}

// Answers a box the way a user who wants the patch would, and says so.
void Answer(const VelmoraProcess& velmora, HWND box) {
    std::printf("[%6lld ms] message box: \"%s\"\n", Elapsed(velmora),
                VelmoraProcess::MessageBoxText(box).c_str());
    const bool question = GetDlgItem(box, IDYES) != nullptr;
    std::printf("             pressing %s\n", question ? "Yes" : "OK");
    VelmoraProcess::AnswerMessageBox(box, question ? IDYES : IDOK);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    VelmoraProcess velmora;
    if (velmora.WaitForWindow() == nullptr) {
        std::printf("Velmora's window did not appear.\n");
        return 1;
    }
    std::printf("[%6lld ms] window: \"%s\"\n", Elapsed(velmora),
                WindowText(velmora.Window()).c_str());

    std::string shown;
    WaitUntil(
        [&] {
            if (const HWND box = velmora.FindMessageBox()) {
                Answer(velmora, box);
            }
            const std::string status = velmora.StatusText();
            if (!status.empty() && status != shown) {
                shown = status;
                std::printf("[%6lld ms] status: \"%s\"\n", Elapsed(velmora), shown.c_str());
            }
            return shown == " Update Complete" || velmora.HasExited();
        },
        Milliseconds(60000));

    if (shown == " Update Complete") {
        const Windows9xValues written = ReadWindows9xValues();
        std::printf("written to HKLM\\%s:\n", kWindows9xPlace);
        std::printf("  FirstInstallDateTime  %s\n", Describe(written.firstInstallDateTime).c_str());
        std::printf("  RegisteredOwner       %s\n", Describe(written.registeredOwner).c_str());
        if (argc > 1) {
            RECT area;
            GetWindowRect(velmora.Window(), &area);
            std::printf("screenshot: %s\n",
                        SaveScreenshot(area, argv[1]) ? argv[1] : "could not be taken");
        }
        std::printf("[%6lld ms] pressing Close\n", Elapsed(velmora));
        VelmoraProcess::Click(velmora.CloseButton());
    }
    const auto code = velmora.WaitForExit();
    if (!code) {
        std::printf("Velmora did not end.\n");
        return 1;
    }
    std::printf("[%6lld ms] Velmora ended with exit code %lu\n", Elapsed(velmora), *code);
    return static_cast<int>(*code);
}

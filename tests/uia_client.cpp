// What a Windows screen reader reads of a window, through UI Automation: finds the top-level
// window by its caption and prints its control type, name, full description and whether it
// has the keyboard focus, one "Property value" line each. Every call has a time limit, as a
// client cannot be sure of a provider in another process.
// Usage: uia_client CAPTION
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <functional>
#include <string>

// From the Windows SDK's UIAutomationCoreApi.h.
DECLARE_HANDLE(HUIANODE);
extern "C" {
HRESULT WINAPI UiaNodeFromHandle(HWND hwnd, HUIANODE *node);
HRESULT WINAPI UiaGetPropertyValue(HUIANODE node, int propertyId, VARIANT *value);
BOOL WINAPI UiaNodeRelease(HUIANODE node);
}

namespace {

// Runs `call` on a thread of its own and ends the program if it takes longer than 10 s.
void withinTimeLimit(const char *what, const std::function<void()> &call)
{
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](void *work) -> DWORD {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            (*static_cast<const std::function<void()> *>(work))();
            CoUninitialize();
            return 0;
        },
        const_cast<std::function<void()> *>(&call), 0, nullptr);
    if (!thread || WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0) {
        std::printf("timed out: %s\n", what);
        std::fflush(stdout);
        ExitProcess(3);
    }
    CloseHandle(thread);
}

std::string utf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::printf("usage: uia_client CAPTION\n");
        return 2;
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    std::wstring caption(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, caption.data(), length);
    const HWND window = FindWindowW(nullptr, caption.c_str());
    if (!window) {
        std::printf("no window \"%s\"\n", argv[1]);
        return 1;
    }

    HUIANODE node = nullptr;
    HRESULT result = E_FAIL;
    withinTimeLimit("UiaNodeFromHandle", [&] { result = UiaNodeFromHandle(window, &node); });
    if (FAILED(result) || !node) {
        std::printf("no UI Automation node: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    const struct {
        const char *name;
        int id;
    } properties[] = {{"ControlType", 30003},
                      {"Name", 30005},
                      {"FullDescription", 30159},
                      {"HasKeyboardFocus", 30008}};
    for (const auto &property : properties) {
        VARIANT value;
        VariantInit(&value);
        withinTimeLimit(property.name,
                        [&] { result = UiaGetPropertyValue(node, property.id, &value); });
        std::printf("%s ", property.name);
        if (FAILED(result))
            std::printf("(failed: 0x%08lx)\n", static_cast<unsigned long>(result));
        else if (value.vt == VT_I4)
            std::printf("%ld\n", static_cast<long>(value.lVal));
        else if (value.vt == VT_BOOL)
            std::printf("%s\n", value.boolVal ? "true" : "false");
        else if (value.vt == VT_BSTR)
            std::printf("%s\n", utf8(value.bstrVal ? value.bstrVal : L"").c_str());
        else
            std::printf("(none)\n");
        VariantClear(&value);
    }
    withinTimeLimit("UiaNodeRelease", [&] { UiaNodeRelease(node); });
    std::fflush(stdout);
    return 0;
}

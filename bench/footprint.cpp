// Footprint of lumenvik.exe under Wine, against a peer in the same run (not
// a test; bench/footprint drives it, see README). Starts the real program
// and the peer (bench/footprint_peer.cpp, the least a resident program with
// a double-press key can be) one after the other, several times each, and
// reports the medians of:
//   - ready: from CreateProcess to the window existing and hidden with the
//     message loop idle, and the process's CPU time at that moment;
//   - ready after the entry point: the same, timed from the moment the
//     program's entry point runs (Wine has loaded it and its DLLs), taken in
//     a separate start under this process as a debugger;
//   - show: from the second Ctrl press (real input, SendInput) to the window
//     being visible, the first show after start and the later ones;
//   - private memory and working set at rest, after start and after use,
//     read with GetProcessMemoryInfo (PROCESS_MEMORY_COUNTERS_EX);
//   - the sizes of the binaries.
// Wine's own share is the peers' figure (the second peer also uses the
// system DLLs the program needs at start-up); the program's own is the
// difference. Usage: footprint.exe [runs] [shows per run]
// or footprint.exe --dictionary [runs]: the dictionary's share (below).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/program_driver.h"

#if !defined(FOOTPRINT_PEER_EXE) || !defined(FOOTPRINT_PEER_DLLS_EXE)
#error "FOOTPRINT_PEER_EXE and FOOTPRINT_PEER_DLLS_EXE name the two peers"
#endif

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Subject {
    const char* label;
    std::string exe;  // Windows path
    const char* className;
    const char* caption;
};

struct Sample {
    double readyMs = -1, cpuMs = -1, entryToReadyMs = -1, firstShowMs = -1;
    std::vector<double> showMs;
    double privateKb = -1, workingSetKb = -1, committedKb = -1, privateUsedKb = -1,
           workingSetUsedKb = -1;
};

// One started program, always ended (clean exit first, then by force).
class Started {
  public:
    ~Started() { stop(); }
    bool start(const Subject& s, const std::string& workDir) {
        std::string commandLine = "\"" + s.exe + "\"";
        std::vector<char> cmd(commandLine.begin(), commandLine.end());
        cmd.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof si;
        return ::CreateProcessA(s.exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                workDir.c_str(), &si, &info_) != FALSE;
    }
    void adopt(const PROCESS_INFORMATION& info) { info_ = info; }
    HANDLE process() const { return info_.hProcess; }
    DWORD pid() const { return info_.dwProcessId; }
    void stop() {
        if (info_.hProcess == nullptr) return;
        if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT && window_ != nullptr) {
            // wParam 1 is lumenvik's exit path; the peer closes on any WM_CLOSE.
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(window_, WM_CLOSE, 1, 0, SMTO_ABORTIFHUNG, 5000, &result);
        }
        if (::WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) {
            ::TerminateProcess(info_.hProcess, 1);
            ::WaitForSingleObject(info_.hProcess, 5000);
        }
        ::CloseHandle(info_.hThread);
        ::CloseHandle(info_.hProcess);
        info_ = PROCESS_INFORMATION{};
        window_ = nullptr;
    }
    HWND window_ = nullptr;

  private:
    PROCESS_INFORMATION info_{};
};

// The subject's window in process `pid`: found by class and caption as the
// server holds them (no message is sent to the starting program).
HWND findWindow(const Subject& s, DWORD pid) {
    HWND w = nullptr;
    while ((w = ::FindWindowExA(nullptr, w, s.className, s.caption)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

double cpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

void memory(HANDLE process, double* privateKb, double* workingSetKb) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters)) {
        // Wine 8 leaves PrivateUsage at 0 and gives the process's anonymous
        // resident memory as PagefileUsage, which Windows keeps equal to
        // PrivateUsage.
        const SIZE_T privateBytes =
            counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
        *privateKb = static_cast<double>(privateBytes) / 1024.0;
        *workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
    }
}

// Committed private pages of the Windows address space (heaps, stacks, the
// program's own allocations), as a walk with VirtualQueryEx sees them: the
// Windows view, without the memory Wine keeps on the Unix side.
double committedPrivateKb(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = nullptr;
    while (::VirtualQueryEx(process, address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return static_cast<double>(total) / 1024.0;
}

// Waits (polling every millisecond) until `done`; the time it took, or -1.
template <class F>
double timeUntil(double start, F done, double limitMs) {
    for (;;) {
        if (done()) return nowMs() - start;
        if (nowMs() - start > limitMs) return -1;
        ::Sleep(1);
    }
}

// A double press of Ctrl as a hand gives it; returns the time of the second
// press (taken just before it is sent).
double doubleCtrl() {
    lvtest::tap(VK_CONTROL, 30);
    ::Sleep(60);
    const double second = nowMs();
    lvtest::keyDown(VK_CONTROL);
    return second;
}

// Ready: the window exists and is hidden, and either it was seen shown
// before (lumenvik shows it during its initialisation and then hides it) or
// the message loop waits for input. A window that merely exists may still be
// inside its initialisation. Milliseconds since `start`, or -1.
double waitReady(const Subject& s, Started* program, double start) {
    bool seenVisible = false;
    return timeUntil(
        start,
        [&] {
            HWND w = findWindow(s, program->pid());
            if (w == nullptr) return false;
            program->window_ = w;
            if (::IsWindowVisible(w)) {
                seenVisible = true;
                return false;
            }
            return seenVisible || ::WaitForInputIdle(program->process(), 0) == 0;
        },
        20000);
}

// The program's own part of the start-up: from its entry point (after
// Wine has loaded it and every DLL it imports) to ready. The program starts
// under this process as its debugger, with a breakpoint on the entry point;
// when it is hit the debugger lets go, and the rest runs as usual.
double entryToReady(const Subject& s) {
    lvtest::TempDir dir;
    std::string commandLine = "\"" + s.exe + "\"";
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(s.exe.c_str(), cmd.data(), nullptr, nullptr, FALSE,
                          DEBUG_ONLY_THIS_PROCESS, nullptr, dir.path().c_str(), &si, &info)) {
        return -1;
    }
    Started program;  // ends the process on every path below
    program.adopt(info);
    BYTE* entry = nullptr;
    BYTE original = 0;
    double entered = -1;
    DEBUG_EVENT event;
    while (entered < 0 && ::WaitForDebugEvent(&event, 10000)) {
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT: {
                if (event.u.CreateProcessInfo.hFile != nullptr)
                    ::CloseHandle(event.u.CreateProcessInfo.hFile);
                entry = reinterpret_cast<BYTE*>(event.u.CreateProcessInfo.lpStartAddress);
                const BYTE breakpoint = 0xCC;
                if (!::ReadProcessMemory(info.hProcess, entry, &original, 1, nullptr) ||
                    !::WriteProcessMemory(info.hProcess, entry, &breakpoint, 1, nullptr)) {
                    entry = nullptr;
                }
                ::FlushInstructionCache(info.hProcess, entry, 1);
                break;
            }
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile != nullptr) ::CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT: {
                const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
                if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    status = DBG_EXCEPTION_NOT_HANDLED;
                } else if (entry != nullptr && record.ExceptionAddress == entry) {
                    entered = nowMs();
                    // Put the instruction back and run it again.
                    ::WriteProcessMemory(info.hProcess, entry, &original, 1, nullptr);
                    ::FlushInstructionCache(info.hProcess, entry, 1);
                    HANDLE thread = ::OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE,
                                                 event.dwThreadId);
                    CONTEXT context{};
                    context.ContextFlags = CONTEXT_CONTROL;
                    if (thread != nullptr && ::GetThreadContext(thread, &context)) {
#ifdef _WIN64
                        context.Rip = reinterpret_cast<DWORD64>(entry);
#else
                        context.Eip = reinterpret_cast<DWORD>(entry);
#endif
                        ::SetThreadContext(thread, &context);
                    }
                    if (thread != nullptr) ::CloseHandle(thread);
                }
                // Otherwise the loader's own breakpoint: carry on.
                break;
            }
            default:
                break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    ::DebugSetProcessKillOnExit(FALSE);
    ::DebugActiveProcessStop(info.dwProcessId);
    if (entered < 0) return -1;
    return waitReady(s, &program, entered);
}

bool measure(const Subject& s, int shows, Sample* out) {
    lvtest::TempDir dir;
    Started program;
    const double start = nowMs();
    if (!program.start(s, dir.path())) {
        std::fprintf(stderr, "cannot start %s\n", s.exe.c_str());
        return false;
    }
    out->readyMs = waitReady(s, &program, start);
    if (out->readyMs < 0) {
        std::fprintf(stderr, "%s did not become ready\n", s.label);
        return false;
    }
    out->cpuMs = cpuMs(program.process());

    // At rest: nothing happens for a second.
    ::Sleep(1000);
    memory(program.process(), &out->privateKb, &out->workingSetKb);
    out->committedKb = committedPrivateKb(program.process());

    HWND w = program.window_;
    for (int i = 0; i < shows; ++i) {
        const double second = doubleCtrl();
        const double shown = timeUntil(
            second, [&] { return ::IsWindowVisible(w) != FALSE; }, 3000);
        ::Sleep(30);
        lvtest::keyUp(VK_CONTROL);
        if (shown < 0) {
            std::fprintf(stderr, "%s: the window did not show\n", s.label);
            return false;
        }
        if (i == 0) {
            out->firstShowMs = shown;
        } else {
            out->showMs.push_back(shown);
        }
        ::Sleep(700);
        doubleCtrl();
        const double hidden = timeUntil(
            nowMs(), [&] { return !::IsWindowVisible(w); }, 3000);
        ::Sleep(30);
        lvtest::keyUp(VK_CONTROL);
        if (hidden < 0) {
            std::fprintf(stderr, "%s: the window did not hide\n", s.label);
            return false;
        }
        ::Sleep(700);
    }
    ::Sleep(1000);
    memory(program.process(), &out->privateUsedKb, &out->workingSetUsedKb);
    program.stop();
    out->entryToReadyMs = entryToReady(s);
    if (out->entryToReadyMs < 0) std::fprintf(stderr, "%s: entry point not reached\n", s.label);
    return true;
}

double median(std::vector<double> v) {
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class F>
std::vector<double> collect(const std::vector<Sample>& samples, F field) {
    std::vector<double> v;
    for (const Sample& s : samples) field(s, &v);
    return v;
}

long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long>(data.nFileSizeLow);
}

std::string machine() {
    char cpu[256] = "unknown processor";
    DWORD size = sizeof cpu;
    ::RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                   "ProcessorNameString", RRF_RT_REG_SZ, nullptr, cpu, &size);
    SYSTEM_INFO info;
    ::GetNativeSystemInfo(&info);
    const char* wine = "not Wine";
    using WineVersion = const char*(CDECL*)();
    auto getVersion = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    if (getVersion != nullptr) wine = getVersion();
    char text[512];
    std::snprintf(text, sizeof text, "%s, %lu processors, Wine %s", cpu,
                  static_cast<unsigned long>(info.dwNumberOfProcessors), wine);
    return text;
}

// The dictionary's own cost: the program beside lumenvik-dict.bin and
// without it, both from the release's settings file, shown in its
// Japanese-English mode (dict3=on) and given words until the list has
// shown rows for each. The file is mapped shared and read-only, so the
// program's private memory should hardly grow with it.
struct DictionarySample {
    double readyMs = -1, privateKb = -1, privateListedKb = -1, workingSetListedKb = -1,
           firstListMs = -1;
};

bool measureDictionary(bool withDictionary, DictionarySample* out) {
    lvtest::TempDir dir;
    if (withDictionary) {
        const std::string built = lvtest::windowsPath(LUMENVIK_DICT);
        const std::string here = dir.file("lumenvik-dict.bin");
        if (!::CreateHardLinkA(here.c_str(), built.c_str(), nullptr) &&
            !::CopyFileA(built.c_str(), here.c_str(), FALSE)) {
            std::fprintf(stderr, "cannot put %s beside the program\n", built.c_str());
            return false;
        }
    }
    lvtest::writeFile(dir.file("lumenvik.ini"),
                      lvtest::readFile(lvtest::windowsPath(LUMENVIK_RELEASE_INI)));
    lvtest::Program program;
    if (!program.start(dir.path())) {
        std::fprintf(stderr, "lumenvik did not start\n");
        return false;
    }
    // From the return of CreateProcess to ready.
    const double started = nowMs();
    if (!program.waitReady()) {
        std::fprintf(stderr, "lumenvik did not become ready\n");
        return false;
    }
    out->readyMs = nowMs() - started;
    ::Sleep(1000);
    double unused = 0;
    memory(program.process(), &out->privateKb, &unused);
    HWND w = program.window();
    lvtest::doublePress(VK_CONTROL);
    if (!lvtest::waitFor([&] { return ::IsWindowVisible(w) != FALSE; }, 3000)) {
        std::fprintf(stderr, "lumenvik: the window did not show\n");
        return false;
    }
    ::Sleep(300);
    for (int i = 0; i < 3; ++i) {
        lvtest::tap(VK_NEXT);
        ::Sleep(100);
    }
    // Words of each kind: kana, kanji, English, a phrase, a short prefix.
    const wchar_t* words[] = {L"くるま", L"車", L"car", L"ice cr", L"か", L"to eat"};
    bool first = true;
    for (const wchar_t* word : words) {
        HWND box = ::GetDlgItem(w, IDC_SEARCH_BOX);
        HWND list = ::GetDlgItem(w, IDC_DICTIONARY_LIST);
        const double start = nowMs();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word), SMTO_ABORTIFHUNG,
                              3000, &result);
        const double listed = timeUntil(
            start, [&] { return list != nullptr && ::IsWindowVisible(list) != FALSE; }, 1000);
        if (withDictionary && listed < 0) {
            std::fprintf(stderr, "lumenvik: no list for a word\n");
            return false;
        }
        if (first) out->firstListMs = listed;
        first = false;
        ::Sleep(100);
    }
    ::Sleep(1000);
    memory(program.process(), &out->privateListedKb, &out->workingSetListedKb);
    program.stop();
    return true;
}

int dictionaryMain(int runs) {
    lvtest::TaskbarHolder taskbar;
    DictionarySample warmUp;
    if (!measureDictionary(true, &warmUp)) return 1;
    std::vector<DictionarySample> with, without;
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool dictionary = (i + k) % 2 == 0;
            DictionarySample sample;
            if (!measureDictionary(dictionary, &sample)) return 1;
            (dictionary ? with : without).push_back(sample);
        }
        std::fprintf(stderr, "run %d/%d: private %.0f / %.0f KB\n", i + 1, runs,
                     with.back().privateListedKb, without.back().privateListedKb);
    }
    auto med = [](const std::vector<DictionarySample>& v, double DictionarySample::*field) {
        std::vector<double> x;
        for (const DictionarySample& s : v) x.push_back(s.*field);
        return median(x);
    };
    std::printf("Lumenvik with and without lumenvik-dict.bin under Wine: medians of %d runs\n",
                runs);
    std::printf("machine: %s\n\n", machine().c_str());
    std::printf("  %-44s %10s %10s %10s\n", "", "with", "without", "growth");
    const struct {
        const char* name;
        double DictionarySample::*field;
    } rows[] = {
        {"private memory at rest after start", &DictionarySample::privateKb},
        {"private memory, list shown for 6 words", &DictionarySample::privateListedKb},
        {"working set, list shown for 6 words", &DictionarySample::workingSetListedKb},
    };
    double listedGrowth = 0;
    for (const auto& r : rows) {
        const double a = med(with, r.field), b = med(without, r.field);
        std::printf("  %-44s %10.1f %10.1f %10.1f  KB\n", r.name, a, b, a - b);
        if (r.field == &DictionarySample::privateListedKb) listedGrowth = a - b;
    }
    std::printf("  %-44s %10.1f %10.1f %10.1f  ms\n", "ready after CreateProcess",
                med(with, &DictionarySample::readyMs), med(without, &DictionarySample::readyMs),
                med(with, &DictionarySample::readyMs) - med(without, &DictionarySample::readyMs));
    std::printf("  %-44s %10.1f %10s %10s  ms\n", "first list after the first word",
                med(with, &DictionarySample::firstListMs), "", "");
    std::printf("\ngoal:\n  private growth, list shown %8.1f KB  (goal <= 2048 KB) %s\n",
                listedGrowth, listedGrowth <= 2048 ? "met" : "MISSED");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--dictionary") {
        return dictionaryMain(argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int shows = argc > 2 ? std::max(2, std::atoi(argv[2])) : 5;
    const Subject subjects[] = {
        {"lumenvik", lvtest::windowsPath(LUMENVIK_EXE), "#32770", "Lumenvik"},
        {"peer", lvtest::windowsPath(FOOTPRINT_PEER_EXE), "LumenvikPeer", "LumenvikPeer"},
        {"peer+dlls", lvtest::windowsPath(FOOTPRINT_PEER_DLLS_EXE), "LumenvikPeer", "LumenvikPeer"},
    };
    constexpr int kSubjects = 3;

    // The taskbar appears with the first tray icon; keep it up throughout so
    // no run pays for it.
    lvtest::TaskbarHolder taskbar;
    // One start of each first, not counted: the first process after the
    // wineserver starts pays for loading Wine's own files from disk.
    for (const Subject& s : subjects) {
        Sample warmUp;
        if (!measure(s, 2, &warmUp)) return 1;
    }
    std::vector<Sample> samples[kSubjects];
    for (int i = 0; i < runs; ++i) {
        // Rotate the order so that no subject always runs right after another.
        for (int k = 0; k < kSubjects; ++k) {
            const int which = (i + k) % kSubjects;
            Sample sample;
            if (!measure(subjects[which], shows, &sample)) return 1;
            samples[which].push_back(sample);
        }
        std::fprintf(stderr, "run %d/%d: ready %.1f / %.1f / %.1f ms\n", i + 1, runs,
                     samples[0].back().readyMs, samples[1].back().readyMs,
                     samples[2].back().readyMs);
    }

    struct Metric {
        const char* name;
        const char* unit;
        void (*get)(const Sample&, std::vector<double>*);
    };
    const Metric metrics[] = {
        {"ready after CreateProcess", "ms",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.readyMs); }},
        {"ready after the entry point", "ms",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.entryToReadyMs); }},
        {"CPU time of the process at ready", "ms",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.cpuMs); }},
        {"first show after the double press", "ms",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.firstShowMs); }},
        {"later shows after the double press", "ms",
         [](const Sample& s, std::vector<double>* v) {
             v->insert(v->end(), s.showMs.begin(), s.showMs.end());
         }},
        {"private memory at rest after start", "KB",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.privateKb); }},
        {"working set at rest after start", "KB",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.workingSetKb); }},
        {"committed private pages at rest", "KB",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.committedKb); }},
        {"private memory at rest after use", "KB",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.privateUsedKb); }},
        {"working set at rest after use", "KB",
         [](const Sample& s, std::vector<double>* v) { v->push_back(s.workingSetUsedKb); }},
    };
    constexpr int kMetrics = sizeof metrics / sizeof metrics[0];

    std::printf("Lumenvik footprint under Wine: medians of %d runs each (%d shows per run)\n", runs,
                shows);
    std::printf("machine: %s\n", machine().c_str());
    std::printf(
        "peer: a hidden window and a double-press hook; peer+dlls: the same, also using\n"
        "COM, common controls, the input method and a tray icon as the program does.\n"
        "own = lumenvik minus peer+dlls; ratio = lumenvik / peer+dlls\n\n");
    std::printf("  %-36s %10s %10s %10s %10s %7s\n", "", "lumenvik", "peer", "peer+dlls", "own",
                "ratio");
    double medians[kMetrics][kSubjects];
    for (int m = 0; m < kMetrics; ++m) {
        for (int k = 0; k < kSubjects; ++k)
            medians[m][k] = median(collect(samples[k], metrics[m].get));
        const double mine = medians[m][0], base = medians[m][2];
        std::printf("  %-36s %10.1f %10.1f %10.1f %10.1f %7.2f  %s\n", metrics[m].name, mine,
                    medians[m][1], base, mine - base, base > 0 ? mine / base : 0.0,
                    metrics[m].unit);
    }

    const long exe = fileSize(lvtest::windowsPath(LUMENVIK_EXE));
    const long dll = fileSize(lvtest::windowsPath(TAPWATCH_DLL));
    std::printf(
        "\n  file sizes: lumenvik.exe %ld bytes, tapwatch.dll %ld bytes"
        " (peer %ld, peer+dlls %ld bytes)\n",
        exe, dll, fileSize(subjects[1].exe), fileSize(subjects[2].exe));

    // The goals, on the program's own share where Wine dominates the figure.
    const double ready = medians[1][0];
    const double ownReady = medians[1][0] - medians[1][2];
    const double show = medians[4][0];
    const double ownPrivate = medians[5][0] - medians[5][2];
    std::printf("\ngoals:\n");
    std::printf("  ready after entry      %8.1f ms  (goal < 100 ms)  %s; own share %.1f ms\n",
                ready, ready >= 0 && ready < 100 ? "met" : "MISSED", ownReady);
    std::printf("  show after 2nd press   %8.1f ms  (goal < 50 ms)   %s\n", show,
                show >= 0 && show < 50 ? "met" : "MISSED");
    std::printf("  private memory, own    %8.1f KB  (goal < 5120 KB) %s; all of it %.1f KB\n",
                ownPrivate, ownPrivate < 5120 ? "met" : "MISSED", medians[5][0]);
    std::printf("  lumenvik.exe size      %8ld B   (goal < 1 MB)    %s\n", exe,
                exe > 0 && exe < 1024 * 1024 ? "met" : "MISSED");
    return 0;
}

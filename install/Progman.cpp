// The program group through DDE with the shell's "PROGMAN" service. A
// command that the shell refuses, or a shell that does not answer within a
// second, loses that command only.
#include "InstallSteps.h"

namespace {

HDDEDATA CALLBACK IgnoreDdeEvents(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

class DdeClient {
public:
    DdeClient() {
        if (::DdeInitializeA(&instance_, IgnoreDdeEvents, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) instance_ = 0;
    }
    ~DdeClient() {
        if (instance_) ::DdeUninitialize(instance_);
    }
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;
    DWORD instance() const { return instance_; }

private:
    DWORD instance_ = 0;
};

}  // namespace

int ProgmanCommand(DWORD ddeInstance, const std::string& command) {
    HSZ service = ::DdeCreateStringHandleA(ddeInstance, "PROGMAN", CP_WINANSI);
    if (!service) return 0;
    int done = 0;
    if (HCONV conversation = ::DdeConnect(ddeInstance, service, service, nullptr)) {
        std::string data = command;   // the transaction takes its data as writable bytes
        HDDEDATA result = ::DdeClientTransaction(reinterpret_cast<BYTE*>(&data[0]), static_cast<DWORD>(data.size() + 1),
                                                 conversation, nullptr, CF_TEXT, XTYP_EXECUTE, 1000, nullptr);
        done = result != nullptr;
        ::DdeDisconnect(conversation);
    }
    ::DdeFreeStringHandle(ddeInstance, service);
    return done;
}

bool SendProgmanCommands(const std::vector<std::string>& commands) {
    DdeClient client;
    if (!client.instance()) return false;
    for (const std::string& command : commands) ProgmanCommand(client.instance(), command);
    return true;
}

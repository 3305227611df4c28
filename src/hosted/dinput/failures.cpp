#include "dinput/failures.h"

#include <cstdio>
#include <cstdlib>

#include "core/forever.h"
#include "core/format.h"
#include "dinput/input_devices.h"
#include "testbed/dinput_answers.h"

namespace hosted {
namespace {

// What `device=N` of a rule means for a method.
enum class DeviceScope {
    None,       // the call concerns no game device
    GameDevice, // the device in slot N, which must hold one
    Slot,       // slot N, empty or not
};

struct Injectable {
    const char* name;
    DeviceScope device;
};

// Every call of this machine's DirectInput that asks InjectedResult.
const Injectable kInjectable[] = {
    {"::DirectInputCreateA", DeviceScope::None},
    {"IDirectInputA::QueryInterface", DeviceScope::None},
    {"IDirectInputA::CreateDevice", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::QueryInterface", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::GetCapabilities", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::EnumObjects", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::Acquire", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::Unacquire", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::GetDeviceState", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::SetDataFormat", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::SetEventNotification", DeviceScope::GameDevice},
    {"IDirectInputDeviceA::SetCooperativeLevel", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::QueryInterface", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::GetCapabilities", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::EnumObjects", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::Acquire", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::Unacquire", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::GetDeviceState", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::SetDataFormat", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::SetEventNotification", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::SetCooperativeLevel", DeviceScope::GameDevice},
    {"IDirectInputDevice2A::Poll", DeviceScope::GameDevice},
    {"IDirectInputJoyConfig::Acquire", DeviceScope::None},
    {"IDirectInputJoyConfig::Unacquire", DeviceScope::None},
    {"IDirectInputJoyConfig::SetCooperativeLevel", DeviceScope::None},
    {"IDirectInputJoyConfig::GetConfig", DeviceScope::Slot},
};

const Injectable* FindInjectable(const std::string& name) {
    for (const Injectable& entry : kInjectable)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

struct Rule {
    std::string method;
    int device;
    unsigned call;
    HRESULT code;
    unsigned seen = 0;
};

std::vector<Rule>& Rules() {
    static Forever<std::vector<Rule>> rules;
    return *rules;
}

} // namespace

bool InjectInputFailure(const std::string& method, int device, unsigned call, HRESULT code,
                        std::string* error) {
    const Injectable* entry = FindInjectable(method);
    if (!entry) {
        *error = "the machine has no method '" + method + "'";
        return false;
    }
    if (device >= 0 && entry->device == DeviceScope::None) {
        // The DLL's own functions are named without the interface's "::".
        *error =
            method.substr(method.compare(0, 2, "::") == 0 ? 2 : 0) + " concerns no game device";
        return false;
    }
    if (device >= 0 && entry->device == DeviceScope::GameDevice &&
        !JoystickSlot(static_cast<unsigned>(device))) {
        *error = Format("slot %d holds no device", device);
        return false;
    }
    Rules().push_back(Rule{method, device, call, code});
    return true;
}

void ClearInputFailures() {
    Rules().clear();
}

std::vector<std::string> InjectableInputMethods() {
    std::vector<std::string> names;
    for (const Injectable& entry : kInjectable)
        names.push_back(entry.name);
    return names;
}

HRESULT InjectedResult(const char* interfaceName, const char* method, int device) {
    const std::string name = std::string(interfaceName) + "::" + method;
    if (!FindInjectable(name)) {
        std::fprintf(stderr, "hosted DirectInput: %s is missing from the injectable methods\n",
                     name.c_str());
        std::abort();
    }
    std::vector<Rule>& rules = Rules();
    return CountInjectedCall(rules.data(), rules.data() + rules.size(), interfaceName, method,
                             device);
}

} // namespace hosted

#include "tests/support/RecordingAL.h"

#include <AL/alext.h>

#include <algorithm>
#include <atomic>
#include <map>

namespace RecordingAL {
namespace {

struct Log {
    static std::vector<RecordedCall>& Calls() {
        static std::vector<RecordedCall> calls;
        return calls;
    }
};

ALuint NextName = 1;
std::vector<std::string> Allowed;
std::vector<std::string> Requested;
bool ContextsRefused = false;
std::map<ALenum, ALint> SourceAnswers;
std::vector<std::vector<uint8_t>> Buffered;
std::atomic<size_t> BufferedCount{0};
// Any distinct non-null addresses serve as handles; the game never looks inside them.
std::atomic<ALCint> ConnectedAnswer{ALC_TRUE};
char DeviceToken;
char ContextToken;

void AL_APIENTRY GenNames(const char* name, ALsizei count, ALuint* names) {
    Record<Log>(name, count);
    for (ALsizei i = 0; i < count; ++i) {
        names[i] = NextName++;
    }
}

ALCdevice* ALC_APIENTRY OpenDevice(const ALCchar* name) {
    std::string requested = name == nullptr ? "" : name;
    Requested.push_back(requested);
    Record<Log>("alcOpenDevice", name);
    bool opens = std::find(Allowed.begin(), Allowed.end(), requested) != Allowed.end();
    return opens ? reinterpret_cast<ALCdevice*>(&DeviceToken) : nullptr;
}

ALCcontext* ALC_APIENTRY CreateContext(ALCdevice* device, const ALCint* attributes) {
    std::vector<double> args{device == nullptr ? 0.0 : 1.0};
    for (const ALCint* a = attributes; a != nullptr && *a != 0; ++a) {
        args.push_back(*a);
    }
    Log::Calls().push_back(RecordedCall{"alcCreateContext", args});
    return ContextsRefused ? nullptr : reinterpret_cast<ALCcontext*>(&ContextToken);
}

void AL_APIENTRY Listenerfv(ALenum parameter, const ALfloat* values) {
    std::vector<double> args{static_cast<double>(parameter)};
    int count = parameter == AL_ORIENTATION ? 6 : 3;
    args.insert(args.end(), values, values + count);
    Log::Calls().push_back(RecordedCall{"alListenerfv", args});
}

void AL_APIENTRY GetSourcei(ALuint source, ALenum parameter, ALint* value) {
    Record<Log>("alGetSourcei", source, parameter, value);
    auto answer = SourceAnswers.find(parameter);
    if (answer != SourceAnswers.end() && value != nullptr) {
        *value = answer->second;
    }
}

void AL_APIENTRY BufferData(ALuint buffer, ALenum format, const ALvoid* data, ALsizei size,
                            ALsizei frequency) {
    Record<Log>("alBufferData", buffer, format, data, size, frequency);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    Buffered.emplace_back(bytes, bytes + (bytes == nullptr || size < 0 ? 0 : size));
    ++BufferedCount;
}

void ALC_APIENTRY GetIntegerv(ALCdevice* device, ALCenum parameter, ALCsizei size, ALCint* values) {
    if (parameter == ALC_CONNECTED && device != nullptr && size >= 1 && values != nullptr) {
        values[0] = ConnectedAnswer.load();
    }
}

ALCboolean ALC_APIENTRY IsExtensionPresent(ALCdevice* device, const ALCchar* name) {
    Record<Log>("alcIsExtensionPresent", device);
    std::string extension = name == nullptr ? "" : name;
    return extension == "ALC_EXT_disconnect" || extension == "ALC_SOFT_pause_device";
}

void* ALC_APIENTRY GetProcAddress(ALCdevice*, const ALCchar* name) {
    using DeviceCall = void(ALC_APIENTRY*)(ALCdevice*);
    DeviceCall pause = [](ALCdevice* device) { Record<Log>("alcDevicePauseSOFT", device); };
    DeviceCall resume = [](ALCdevice* device) { Record<Log>("alcDeviceResumeSOFT", device); };
    std::string function = name == nullptr ? "" : name;
    return reinterpret_cast<void*>(function == "alcDevicePauseSOFT"    ? pause
                                   : function == "alcDeviceResumeSOFT" ? resume
                                                                       : nullptr);
}

}  // namespace

std::vector<RecordedCall>& Calls() {
    return Log::Calls();
}
void ClearCalls() {
    Log::Calls().clear();
}

std::vector<RecordedCall> CallsTo(const std::string& name) {
    return CallsNamed(Log::Calls(), name);
}

std::vector<std::string> CallNames() {
    return NamesOf(Log::Calls());
}

void AllowDevices(std::vector<std::string> names) {
    Allowed = std::move(names);
}
const std::vector<std::string>& RequestedDevices() {
    return Requested;
}
void RefuseContexts(bool refuse) {
    ContextsRefused = refuse;
}
void SetDeviceConnected(bool connected) {
    ConnectedAnswer = connected ? ALC_TRUE : ALC_FALSE;
}
void AnswerSourceInteger(ALenum parameter, ALint value) {
    SourceAnswers[parameter] = value;
}
const std::vector<std::vector<uint8_t>>& BufferedData() {
    return Buffered;
}
size_t BufferDataCount() {
    return BufferedCount;
}

#define RECORDING_AL_SLOT(name)                                               \
    {                                                                         \
        struct Name {                                                         \
            static const char* Get() { return #name; }                        \
        };                                                                    \
        PublishedAL.name = &CallRecorder<Log, Name, decltype(&::name)>::Call; \
    }

void Install() {
    AL_ENTRY_POINTS(RECORDING_AL_SLOT)
    ALC_ENTRY_POINTS(RECORDING_AL_SLOT)
    PublishedAL.alGenBuffers = [](ALsizei n, ALuint* names) { GenNames("alGenBuffers", n, names); };
    PublishedAL.alGenSources = [](ALsizei n, ALuint* names) { GenNames("alGenSources", n, names); };
    PublishedAL.alcOpenDevice = OpenDevice;
    PublishedAL.alcCreateContext = CreateContext;
    PublishedAL.alListenerfv = Listenerfv;
    PublishedAL.alGetSourcei = GetSourcei;
    PublishedAL.alBufferData = BufferData;
    PublishedAL.alcGetIntegerv = GetIntegerv;
    PublishedAL.alcIsExtensionPresent = IsExtensionPresent;
    PublishedAL.alcGetProcAddress = GetProcAddress;
    ConnectedAnswer = ALC_TRUE;
    NextName = 1;
    SourceAnswers.clear();
    Buffered.clear();
    BufferedCount = 0;
    Allowed = {""};
    Requested.clear();
    ContextsRefused = false;
    ClearCalls();
}

void Uninstall() {
    ClearPublishedALEntryPoints();
}

}  // namespace RecordingAL

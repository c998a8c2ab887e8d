#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/ALEntryPoints.h"
#include "tests/support/CallRecorder.h"

// A stand-in for OpenAL: fills the published table with recorders. Buffers and sources are
// named from 1 upwards; alcOpenDevice opens only the device names the test allows (the default
// device, a null name, by default) and records each name it was asked for. alBufferData keeps
// a copy of its samples.
namespace RecordingAL {

void Install();
void Uninstall();

std::vector<RecordedCall>& Calls();
void ClearCalls();
std::vector<RecordedCall> CallsTo(const std::string& name);
std::vector<std::string> CallNames();

// Device names that alcOpenDevice will open; "" stands for the default device.
void AllowDevices(std::vector<std::string> names);
// The names alcOpenDevice was asked for, in order; "" for the default device.
const std::vector<std::string>& RequestedDevices();

// Makes alcCreateContext fail.
void RefuseContexts(bool refuse);

// What alcGetIntegerv answers for ALC_CONNECTED (true after Install). That query is not
// recorded, so any thread may make it while the test records others.
void SetDeviceConnected(bool connected);
// The recording AL offers ALC_EXT_disconnect and ALC_SOFT_pause_device; alcGetProcAddress gives
// recorders named alcDevicePauseSOFT and alcDeviceResumeSOFT.

// Makes alGetSourcei answer a value for one parameter; other parameters leave the caller's
// variable as it was.
void AnswerSourceInteger(ALenum parameter, ALint value);

// The bytes handed to each alBufferData call, in order.
const std::vector<std::vector<uint8_t>>& BufferedData();
// How many alBufferData calls were made so far; the one thing a test may read while another
// thread (the music's) is calling the table.
size_t BufferDataCount();

}  // namespace RecordingAL

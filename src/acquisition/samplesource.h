#pragma once

#include <QtGlobal>

// Where the samples come from; the number is the one the settings file keeps.
enum class SampleSource : quint8 { Test = 0, Usb = 1, Serial = 2 };

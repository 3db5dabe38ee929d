#pragma once

#include <QString>

// The French text of a system error number, for messages that name what went wrong.
namespace SystemError {
QString describe(int errnum);
}

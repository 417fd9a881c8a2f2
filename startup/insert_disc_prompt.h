// The one dialog the library shows itself: the "Please Insert CD" message
// box with Retry and Cancel, composed from a two-line message and the labels
// of the drive and of the wanted disc:
//
//   <first line, 71 characters><drive label, left in 9>]\n
//   <second line, 71 characters><disc label, left in 6> <disc number, left in 2>]
#pragma once

#include <cstdint>

namespace zk::startup {

inline constexpr int32_t kAnswerCancel = 1;
inline constexpr int32_t kAnswerRetry = 2;
inline constexpr uint32_t kInsertDiscStyle = 37;  // Retry/Cancel with the question icon

// Shows the prompt for message `message`, drive `drive` (-1: no particular
// drive, named by screen text 111) and the disc `disc_id` / `disc_no` (either
// may be null). 0 with the answer (1 Cancel, 2 Retry); -1 no such message,
// -2 no screen text 111, -3 no second line, -4 an unexpected answer of the
// box; each failure logged as module "ZKSUBM01". A drive number outside the
// ten drive entries is named as -1 is.
int disp_msgbox(int32_t message, int32_t drive, const char* disc_id, const char* disc_no, int32_t* answer);

}  // namespace zk::startup

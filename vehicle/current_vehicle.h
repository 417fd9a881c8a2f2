// The current vehicle as the front end sees it: each accessor copies one
// field of the ccar area into a string of the front end, NUL bytes made
// blanks so that a field never set reads as blanks. The strings are at
// least as long as their field (only the VIN is measured by its length
// prefix); nothing is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::vehicle {

inline constexpr size_t kVinSize = 17;
inline constexpr size_t kCharact2Codes = 46;

// Fields of the ccar area that the front end reads whole.
enum class VehicleField { Catalog, Model, FrameModel, FrameNo, Ad, ColorNo, TrimNo, Notes, VName, ProDateF, ProDateT };

// Copies the field into `out` (its width); nothing without common areas or
// with a null string.
void get_field(VehicleField field, char* out);
// The two halves of the first characteristic.
void get_charact1(char* first, char* second);
// The second-characteristic code `index` (0..45); another index writes
// nothing.
void get_charact2(int16_t index, char* out);
// The VIN (its first 10 characters, then the frame number) into the front
// end's string, at most its byte length and 17; returns that byte length.
int32_t get_vin(char* vbstr);
// The date of the first installed disc of the current area (8 bytes); the
// string is left alone when the area has none.
void get_current_disc_date(char* out);

}  // namespace zk::vehicle

// Disc identification and disc switching: reading the volume labels of the
// catalog drives, telling which installed discs are present, finding the
// drive that holds a wanted disc (asking the user to insert it while none
// does), and the lookups in the installed-disc table.
//
// A catalog disc's volume label carries the disc date in characters 1-8 and
// the disc id in characters 9-10. A disc head is those 10 bytes reordered:
// disc id (2), then disc date (8); an all-zero head is a drive without a
// readable disc.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::catalog {

inline constexpr size_t kHeadSize = 10;
inline constexpr size_t kHeadListSize = 11;  // heads cdread_head_alldrive can hold
inline constexpr size_t kDiscIdSize = 2;
inline constexpr size_t kDiscDateSize = 8;

// Results and details of the disc functions.
inline constexpr int kDriveNotReady = 80;
inline constexpr int kVolumeReadFailed = 81;
inline constexpr int kRefused = 128;
inline constexpr int kCancelled = 4;
inline constexpr int32_t kDetailNoDiscId = 2001;
inline constexpr int32_t kDetailNoMainDisc = 2002;
inline constexpr int32_t kDetailNoPrompt = 2003;  // the insert-disc prompt could not be shown
inline constexpr int32_t kDetailNoSuchDrive = 2004;  // a drive index that is not -1 nor a configured drive

inline constexpr uint32_t kRetrySleepMs = 200;
inline constexpr int kRetryPolls = 3;

// The head of the disc in drive `drive` (an index of the catalog drives):
// 0; 80 drive not ready; 81 other volume-read failure (detail: the system
// error); 128 for an index that is not one of the configured drives
// (negative, or drive_count and above; the detail is then left as it is).
int cdread_head(int32_t drive, char* head, int32_t* detail);

// The heads of every catalog drive (at the drive's position, all-zero for a
// drive that is not ready), followed by the heads of the discs of `letter`
// copied to the hard disk, each once; empty slots are all-zero, and heads
// beyond the 11 slots are dropped. 0, or a volume-read failure, or 11 / 14
// when a root master file cannot be opened / read.
int cdread_head_alldrive(char* heads, char letter, int32_t* detail);

// The installed-disc indexes (in table order) of the main discs of the
// current area that are present in a drive or on the hard disk. 0, or the
// failure of cdread_head_alldrive. With no known current area the list is
// empty.
int cdmake_cdidtbl_alldrive(int32_t* list, int32_t* count, int32_t* detail);

// Finds the drive that holds the disc `disc_id` (and, when given, whose date
// follows the date rule), asking the user to insert it while no drive does.
// 0 with the drive; 4 when the user cancelled; 128 with 2001 (no disc id) or
// 2002 (date "********" but no main disc of the letter). Where the search
// cannot go on, it never answers 0: a volume-read failure other than not
// ready ends it with that failure (81), a prompt that cannot be shown with
// 128 and detail 2003, and a drive index that is neither -1 nor one of the
// configured drives is refused at once with 128 and detail 2004.
//
// On Retry the call sleeps 200 ms and polls, at most three times while it
// answers not ready, the drive waited for: the given drive, or with -1 the
// first drive the last scan found not ready (else the first drive).
int cdset_cd(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date, int32_t* drive_found,
             char* id_found, char* date_found, int32_t prompt_kind, int32_t* detail);

// Message number of the insert-disc prompt for a prompt kind: 883 for -4 and
// -2, 882 for -3 and -1, 881 otherwise.
int32_t cdmsgid(int32_t prompt_kind);

// Installed-disc table lookups; each answers the first matching entry or -1.
int32_t setuped_cdno1_to_cdno2(const char* disc_id, char* disc_no_out);
int32_t setuped_cdno2_to_cdno1(char letter, char* disc_id_out, const char* disc_no);
int32_t setuped_top_cdno(char letter);   // main disc: E and J need a digit
int32_t setuped_top_fcdno(char letter);  // F/G disc: E and J need F or G
// The main disc (digit second character, whatever the letter) of the current
// area: 0 with found 1 and the index, or found 0 and index -1; -1 when
// `index` is null.
int32_t make_setuped_top_cdid_table(int32_t* index, int32_t* found);

}  // namespace zk::catalog

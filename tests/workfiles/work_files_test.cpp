// The work files on a bare installation. Opening through the handle table,
// records by number, copying and the pattern delete; filling the front
// end's list boxes from text and help files, and deselecting them. The item
// list container and the three selection lists: links, limits, kinds,
// duplicates, argument orders, the cnexta transfer and the reports of
// allocation failures. Their work files SELECT.TMP and LCPSEL.TMP: the record
// layouts byte by byte, full and cut files, a failed close, and the reset at
// start-up. The local price files: summed runs, the 66-record two-block case,
// prefix keys, the part-number search, hand-made index bytes and a corrupt run.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/list_box.h"
#include "support/installation.h"
#include "tools/writer/local_price_files.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
using platform::Op;
using std::tuple;
using Lines = std::vector<std::string>;

// A 62-byte record of pair 1: the key, then a number telling records apart.
std::string rec62(const std::string& key, int n) {
  std::string r = key + std::to_string(1000 + n);
  return r + std::string(62 - r.size(), '.');
}

// A fresh installation with the common areas, the work directory C:\WORK and
// the local price directory C:\LP.
class WorkFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    inst.mkdir('c', "WORK");
    std::strcpy(get_ctop_addr()->ecram_path, "C:\\WORK");
    std::strcpy(get_ctop_addr()->localp_path, "C:\\LP");
  }
  void TearDown() override {
    closeall2();
    TermSelTmp();
    TermLcpTmp();
    term_selfgn();
    LCPClose(&h);
  }
  std::string cwd_file(const char* name) const {
    std::ifstream in(inst.cwd() / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  // A front-end string holding `text` whose length word says `length`.
  static platform::FrontEndString string_of(const std::string& text, uint32_t length) {
    platform::FrontEndString s(text);
    std::memcpy(s.get() - 4, &length, 4);
    return s;
  }
  void fail_alloc(int nth) { inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory, "", nth); }
  std::string file(const char* name) const { return inst.read('c', std::string("WORK\\") + name); }
  void write_pair(const writer::LocalPriceSpec& spec) {
    const writer::LocalPriceFiles f = writer::build_local_prices(spec);
    inst.write('c', "LP\\" + f.index_name, f.index);
    inst.write('c', "LP\\" + f.data_name, f.data);
  }
  // Reads the key and every following record: their numbers, or "end".
  std::vector<std::string> read_all(const std::string& key) {
    std::vector<std::string> out;
    char r[132] = {};
    EXPECT_EQ(LCPKeyRead(&h, key.data(), static_cast<int16_t>(key.size()), r), 0);
    while (h.end_flag == 0) {
      out.push_back(std::string(r + 12, 4));
      EXPECT_EQ(LCPSeqRead(&h, r), 0);
    }
    return out;
  }
  Installation inst;
  platform::ListBox box;
  LcpHandle h{};
};

TEST_F(WorkFilesTest, OpensRegisterTheirDescriptorsAndRecordsGoByNumber) {
  inst.write_cwd_file("R.DAT", "AAAABBBBCCCC");
  int32_t fd = -7, err = -7;
  ASSERT_EQ(open_read("R.DAT", &fd, &err), 0);
  EXPECT_EQ((tuple{(*handle_flag() >> fd) & 1u, err}), (tuple{1u, -7}));  // the error word is not cleared on success
  close2(fd);
  ASSERT_EQ(open_rdwr("R.DAT", &fd, &err), 0);
  char rec[4];
  EXPECT_EQ((tuple{direct_read(fd, 1, rec, 4, &err), std::string(rec, 4)}), (tuple{0, "BBBB"}));
  EXPECT_EQ(direct_write(fd, 1, "xy", 2, &err), 0);    // record 1 of 2 bytes: offset 2
  EXPECT_EQ(direct_write(fd, 3, "DDDD", 4, &err), 0);  // appends a record
  err = 99;
  // Beyond the end: the error word is cleared first, a short read is no system error.
  EXPECT_EQ((tuple{direct_read(fd, 4, rec, 4, &err), err}), (tuple{14, 0}));
  EXPECT_EQ((tuple{direct_read(fd, -1, rec, 4, &err), err}), (tuple{15, 22}));  // never reaches the file
  inst.platform().faults().add(Op::Write, platform::kErrnoNoSpace, "R.DAT");
  EXPECT_EQ((tuple{direct_write(fd, 0, "ZZZZ", 4, &err), err}), (tuple{13, platform::kErrnoNoSpace}));
  close2(fd);
  EXPECT_EQ(cwd_file("R.DAT"), "AAxyBBBBCCCCDDDD");
  ASSERT_EQ(open_write("B.DAT", &fd, &err), 0);  // created
  close2(fd);
  EXPECT_EQ((tuple{fs::exists(inst.cwd() / "B.DAT"), *handle_flag()}), (tuple{true, 0u}));

  EXPECT_EQ((tuple{open_read("MISSING.DAT", &fd, &err), fd, err}), (tuple{11, -1, 2}));
  // Read-write does not create.
  EXPECT_EQ((tuple{open_rdwr("MISSING.DAT", &fd, &err), fs::exists(inst.cwd() / "MISSING.DAT")}), (tuple{11, false}));
}

TEST_F(WorkFilesTest, CopyCopiesEveryByteAndFailuresCloseBothFiles) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += static_cast<char>(i * 7);
  inst.write_cwd_file("SRC.DAT", big);
  inst.write_cwd_file("EMPTY.DAT", "");
  // The destination is opened (emptied) first, so a missing source leaves it empty. A failed close of
  // the destination is a failure of the copy (its bytes may be lost), and releases the descriptor.
  struct Case { const char* source; bool close_fails; int rc, err; } cases[] = {
      {"SRC.DAT", false, 0, 0}, {"EMPTY.DAT", false, 0, 0}, {"MISSING.DAT", false, 11, 2}, {"SRC.DAT", true, 12, 5}};
  for (const Case& c : cases) {
    inst.write_cwd_file("DST.DAT", std::string(9000, 'x'));
    if (c.close_fails) inst.platform().faults().add(Op::Close, platform::kErrnoIo, "DST.DAT");
    int32_t err = -1;
    EXPECT_EQ((tuple{file_copy("DST.DAT", c.source, &err), err, *handle_flag()}), (tuple{c.rc, c.err, 0u})) << c.source;
    EXPECT_TRUE(c.close_fails || cwd_file("DST.DAT") == (c.rc ? "" : cwd_file(c.source))) << c.source;
    inst.platform().faults().clear();
  }
}

// A copy onto the same file, however it is named, would empty it before
// reading it: nothing is done and the file keeps its bytes.
TEST_F(WorkFilesTest, CopyOntoTheSameFileChangesNothing) {
  inst.write_cwd_file("SRC.DAT", "precious bytes");
  fs::create_hard_link(inst.cwd() / "SRC.DAT", inst.cwd() / "HARD.DAT");
  std::vector<const char*> destinations{"SRC.DAT", "src.dat", ".\\Src.Dat", "HARD.DAT"};
#ifndef _WIN32  // Wine has no symbolic links to files
  fs::create_symlink(inst.cwd() / "SRC.DAT", inst.cwd() / "LINK.DAT");
  destinations.push_back("LINK.DAT");
#endif
  for (const char* destination : destinations) {
    int32_t err = 5;
    EXPECT_EQ((tuple{file_copy(destination, "SRC.DAT", &err), err, *handle_flag(), cwd_file("SRC.DAT")}),
              (tuple{0, 0, 0u, "precious bytes"})) << destination;
  }
}

TEST_F(WorkFilesTest, RemoveDeletesMatchingFilesOnlyAndRefusesBadArguments) {
  inst.mkdir('c', "WORK\\SUB");
  const char* const files[] = {"SELECT.TMP", "a.tmp", "B.TMP", "KEEP.DAT", "TMP", "SUB\\DEEP.TMP"};
  for (const char* f : files) inst.write('c', std::string("WORK\\") + f, "x");
  // No directory or one starting with a blank: 401; more than 79 characters in all: 402.
  const std::string seventy = "C:\\WORK\\" + std::string(62, 'D');
  EXPECT_EQ((tuple{file_remove(nullptr, "*.TMP"), file_remove("", "*.TMP"), file_remove(" C:\\WORK", "*.TMP"),
                   file_remove("\tC:\\WORK", "*.TMP"), file_remove(seventy.c_str(), "0123456789"),
                   file_remove(seventy.c_str(), "012345678")}),
            (tuple{401, 401, 401, 401, 402, 0}));
  inst.platform().faults().add(Op::Delete, 5, "B.TMP");
  EXPECT_EQ(file_remove("C:\\WORK", "*.TMP"), 0);
  std::string left;
  for (const char* f : files) left += inst.exists('c', std::string("WORK\\") + f) ? "1" : "0";
  EXPECT_EQ(left, "001111");                         // a failed deletion is passed over; no subdirectory entered
  EXPECT_EQ(file_remove("C:\\WORK", "*.NONE"), 0);   // nothing matches
  EXPECT_EQ(file_remove("C:\\WORK\\", nullptr), 0);  // every file, the directory stays
  EXPECT_EQ((tuple{inst.exists('c', "WORK\\KEEP.DAT"), inst.exists('c', "WORK\\SUB\\DEEP.TMP")}), (tuple{false, true}));
}

// Each line loses its last character (the line feed, or the last one read
// when a line is cut at 127); the path is as long as the front end says.
TEST_F(WorkFilesTest, TextFileLinesLoseTheirLastCharacter) {
  inst.write_cwd_file("LIST.TXT", "first\r\nsecond\n\n" + std::string(130, 'a') + "b\nlast-without-lf");
  box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>("old line"));
  EXPECT_EQ((tuple{VBSetListBox(box.handle(), string_of("LIST.TXTjunk", 8).get()), box.lines()}),
            (tuple{0, Lines{"first", "second", "", std::string(126, 'a'), "aaab", "last-without-l"}}));
}

// Help files of the menu language, 119 characters a piece; the topic is
// taken by its byte length, and one too long for the path is logged.
TEST_F(WorkFilesTest, HelpFileOfTheMenuLanguage) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MAIN01.HLP", std::string(125, 'h') + "\nline two\n");
  inst.write('c', "ZK\\MA01.HLP", "short topic\n");
  inst.write_cwd_file(std::string(70, 'B') + "01.HLP", "bare\n");  // fits alone, not behind the directory
  const std::string long_topic(200, 'T');
  struct Case { std::string topic; uint32_t length; int rc; Lines lines; std::string report; } cases[] = {
      {"MAIN", 4, 0, {std::string(118, 'h'), "hhhhhh", "line two"}, ""}, {"MAIN", 2, 0, {"short topic"}, ""},
      {std::string(70, 'B'), 70, 0, {"bare"}, ""},
      {long_topic, 200, 11, {}, "ZKSUBH01,VBReadHelpFile," + long_topic + "01.HLP,(11)(22)(59)"}};
  for (const Case& c : cases) {
    inst.write_cwd_file("ZKERROR.LOG", "");
    platform::ListBox help;
    help.send(platform::kLbSetHorizontalExtent, 640, 0);
    // The extent is sent again as it was, whatever the outcome.
    EXPECT_EQ((tuple{VBReadHelpFile(help.handle(), string_of(c.topic, c.length).get()), help.lines(),
                     inst.log_reports(), help.horizontal_extent(), help.message_count(platform::kLbSetHorizontalExtent)}),
              (tuple{c.rc, c.lines, c.report.empty() ? Lines{} : Lines{c.report}, 640, 2}))
        << c.topic << " " << c.length;
  }
}

TEST_F(WorkFilesTest, ResetDeselectsEveryLine) {
  EXPECT_EQ((tuple{VBAllResetListBox(box.handle()), box.message_count(platform::kLbSetSel)}), (tuple{0, 0}));  // empty
  for (const char* l : {"a", "b", "c"}) box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>(l));
  box.send(platform::kLbSetSel, 1, -1);
  // One message per line after the test's own; something not a list box is left alone.
  int not_a_box = 0;
  EXPECT_EQ((tuple{VBAllResetListBox(box.handle()), box.selected(0) || box.selected(1) || box.selected(2),
                   box.message_count(platform::kLbSetSel), VBAllResetListBox(&not_a_box)}),
            (tuple{0, false, 4, 0}));
}


std::vector<uint32_t> figures() {
  std::vector<uint32_t> out;
  for (const zkall_item* i = get_selfgn()->first; i != nullptr; i = i->next)
    out.push_back(reinterpret_cast<const zkall_sel_fgn_node*>(i)->data.figno);
  return out;
}

TEST_F(WorkFilesTest, DeletingKeepsTheLinksOfTheRest) {
  ItemList list{};
  zkall_item* a = AddItem(&list, sizeof(zkall_item));
  zkall_item* b = AddItem(&list, sizeof(zkall_item));
  zkall_item* c = AddItem(&list, sizeof(zkall_item));
  ASSERT_TRUE(a && b && c);
  DeleteItem(&list, b);  // middle
  EXPECT_TRUE(a->prev == nullptr && a->next == c && c->prev == a && c->next == nullptr && list.count == 2);
  EXPECT_EQ((tuple{AddItem(&list, sizeof(zkall_item) - 1), +list.count}), (tuple{nullptr, 2}));  // no room for the links
  EXPECT_EQ(AllDeleteItem(&list), 0);
  EXPECT_TRUE(list.first == nullptr && list.last == nullptr && list.count == 0);
}

struct Limit { const char* name; int limit; std::function<int32_t(uint32_t)> add; std::function<int16_t()> count; };

TEST_F(WorkFilesTest, ListsHoldUpToTheirLimit) {
  const int16_t v = 1;
  const Limit limits[] = {
      {"selection", 1000, [&](uint32_t) { return SetSelTmp("123456789012", &v); }, [] { return VBGetNumSelTmp(); }},
      {"local price", 1000, [&](uint32_t) { return SetLcpTmp("123456789012", &v, "CODE"); },
       [] { return VBGetNumLcpTmp(); }},
      {"figures", 100, [](uint32_t n) { return set_selfgn(&n); }, [] { return get_num_selfgn(); }},
  };
  for (const Limit& l : limits) {
    for (int i = 0; i < l.limit; ++i) ASSERT_EQ(l.add(static_cast<uint32_t>(i)), 0) << l.name << i;
    EXPECT_EQ((tuple{l.add(0), l.count()}), (tuple{1, l.limit})) << l.name;
  }
}

// The seventh character decides the kind (blank: a 6-character code);
// duplicates are kept and the earlier one is found and deleted first; local
// price entries match on part number and code (added part number first,
// searched code first).
TEST_F(WorkFilesTest, KindsDuplicatesAndArgumentOrders) {
  const int16_t v1 = 1, v2 = 2;
  ASSERT_EQ(SetSelTmp("100120 XXXXX", &v1), 0);
  ASSERT_EQ(SetSelTmp("1561047110A2", &v1), 0);
  ASSERT_EQ(SetSelTmp("1561047110A2", &v2), 0);
  const auto* code = SearchSelTmp("100120      ");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(std::string(code->data.key, 12) + char('0' + code->data.kind), "100120      0");
  EXPECT_EQ(SearchSelTmp("100120 XXXXX"), nullptr);
  EXPECT_EQ((tuple{SearchSelTmp("1561047110A2")->data.kind, SearchSelTmp("1561047110A2")->data.value}), (tuple{1, 1}));
  DelSelTmp("1561047110A2");
  DelSelTmp("000000000000");  // absent: nothing happens
  EXPECT_EQ((tuple{VBGetNumSelTmp(), SearchSelTmp("1561047110A2")->data.value}), (tuple{2, 2}));

  SetLcpTmp("1561047110A2", &v1, "AAAA");
  SetLcpTmp("1561047110A2", &v2, "BBBB");
  const auto* found = SearchLcpTmp("BBBB", "1561047110A2");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ((tuple{found->data.value, found->data.kind}), (tuple{2, 1}));
  EXPECT_EQ(SearchLcpTmp("CCCC", "1561047110A2"), nullptr);
  DelLcpTmp("AAAA", "1561047110A2");
  EXPECT_EQ((tuple{VBGetNumLcpTmp(), GetPtrLcpTmp()->first}), (tuple{1, &found->link}));
}

TEST_F(WorkFilesTest, FigureNumbersGoToAndFromTheCommonArea) {
  zkall_cnexta* area = get_cnexta_addr();
  const auto slots = [area] {  // the first six, copied: the packed array is not aligned
    uint32_t out[6];
    std::memcpy(out, reinterpret_cast<uint8_t*>(area->figures), sizeof out);
    return std::vector<uint32_t>(out, out + 6);
  };
  area->figure_count = 3;
  const uint32_t numbers[] = {1010, 1020, 0xFFFFFFFE};
  std::memcpy(reinterpret_cast<uint8_t*>(area->figures), numbers, sizeof numbers);
  ASSERT_EQ(VBread_figno() + VBread_figno(), 0);  // appended again: nothing is removed first
  EXPECT_EQ((tuple{figures(), VBcheck_selfgn(&numbers[2])}),
            (tuple{std::vector<uint32_t>{1010, 1020, 0xFFFFFFFE, 1010, 1020, 0xFFFFFFFE}, 1}));
  VBdel_selfgn(&numbers[0]);
  int16_t count = -1;
  VBwrite_figno(&count);
  EXPECT_EQ((tuple{count, +area->figure_count, slots()}),
            (tuple{5, 5, std::vector<uint32_t>{1020, 0xFFFFFFFE, 1010, 1020, 0xFFFFFFFE, 0}}));
  // The array holds 100 numbers: 200 in the list are written as their first 100.
  area->figure_count = 100;
  VBclear_figno();
  EXPECT_EQ((tuple{+area->figure_count, get_num_selfgn()}), (tuple{0, 0}));
  area->figure_count = 100;
  EXPECT_EQ((tuple{VBread_figno() + VBread_figno(), get_num_selfgn()}), (tuple{0, 200}));
  VBwrite_figno(&count);
  EXPECT_EQ(count, 100);
  term_selfgn();
  VBwrite_figno(&count);  // an empty list zeroes the array
  EXPECT_EQ((tuple{count, +area->figure_count}), (tuple{0, 0}));
}

// Out of memory part of the way through: the numbers read so far stay.
TEST_F(WorkFilesTest, AllocationFailureKeepsTheFiguresRead) {
  get_cnexta_addr()->figure_count = 3;
  fail_alloc(2);
  EXPECT_EQ((tuple{VBread_figno(), inst.log_reports().back(), get_num_selfgn()}),
            (tuple{20, "ZKSUBF22,VBread_figno,AddItem,(20)(0)(33)", 1}));
}

TEST_F(WorkFilesTest, RecordsAreWrittenByteForByteReadBackAndCleared) {
  const int16_t big = 0x1234, negative = -2;
  SetSelTmp("1561047110A2", &big);
  SetSelTmp("100120 XXXXX", &negative);
  ASSERT_EQ(VBWriteSelectTmp(), 0);
  EXPECT_EQ(file("SELECT.TMP"), std::string("1561047110A2\x34\x12\x01\0\0\0\0\0", 20) +
                                    std::string("100120      \xFE\xFF\x00\0\0\0\0\0", 20) + std::string(19960, '\0'));
  SetLcpTmp("4351247110A1", &big, "D042");
  ASSERT_EQ(VBWriteLcpselTmp(), 0);
  EXPECT_EQ(file("LCPSEL.TMP"), std::string("D0424351247110A1\x34\x12\x01\0", 20) + std::string(19980, '\0'));
  TermSelTmp();
  TermLcpTmp();
  ASSERT_EQ(VBReadSelectTmp() + VBReadLcpselTmp(), 0);
  ASSERT_EQ(VBGetNumSelTmp(), 2);
  const auto* code = SearchSelTmp("100120      ");
  EXPECT_EQ((tuple{code->data.value, code->data.kind, SearchLcpTmp("D042", "4351247110A1")->data.value}),
            (tuple{-2, 0, 0x1234}));
  // Clearing a file leaves its list.
  ASSERT_EQ(VBClearSelectTmp() + clear_lcpsel_tmp(), 0);
  EXPECT_TRUE(file("SELECT.TMP") + file("LCPSEL.TMP") == std::string(40000, '\0'));
  EXPECT_EQ(VBGetNumSelTmp(), 2);
}

TEST_F(WorkFilesTest, OnlyTheFirstThousandAreWritten) {
  for (int i = 0; i < 1000; ++i) {
    const int16_t v = static_cast<int16_t>(i);
    char key[13];
    std::snprintf(key, sizeof key, "P%011d", i);
    ASSERT_EQ(SetSelTmp(key, &v), 0);
  }
  ASSERT_EQ(VBWriteSelectTmp() + VBReadSelectTmp(), 0);  // appended: 2000 entries, beyond the limit
  EXPECT_EQ(VBGetNumSelTmp(), 2000);
  ASSERT_EQ(VBWriteSelectTmp(), 0);
  EXPECT_EQ(file("SELECT.TMP").substr(999 * 20, 12), "P00000000999");  // the last record is in use
  VBClearSelTmp();
  ASSERT_EQ(VBReadSelectTmp(), 0);
  EXPECT_EQ(VBGetNumSelTmp(), 1000);
}

// The fault loop sees every failure of the work files; a close that fails
// after the write may have lost data: 13, logged as such.
TEST_F(WorkFilesTest, AFailedCloseAfterTheWriteIsAWriteFailure) {
  inst.platform().faults().add(Op::Close, platform::kErrnoIo, "SELECT");
  EXPECT_EQ((tuple{VBWriteSelectTmp(), inst.log_reports().back()}),
            (tuple{13, "ZKSUBF21,VBWriteSelectTmp,fclose,(13)(5)(154)"}));
}

TEST_F(WorkFilesTest, RawFunctionsReadWhatIsThereReportNothingAndSetTheErrorWord) {
  int32_t error = -1;
  std::vector<char> buffer(20000, 'x');
  inst.write('c', "WORK\\SELECT.TMP", "100");  // cut short: what is there, the rest left as it was
  EXPECT_EQ((tuple{read_select_tmp(buffer.data(), &error), error, std::string(buffer.data(), 4)}), (tuple{0, 0, "100x"}));
  EXPECT_EQ((tuple{read_lcpsel_tmp(buffer.data(), &error), error}), (tuple{11, 2}));  // missing
  inst.platform().faults().add(Op::Write, platform::kErrnoNoSpace, "LCPSEL");
  EXPECT_EQ((tuple{write_lcpsel_tmp(buffer.data(), &error), error}), (tuple{13, platform::kErrnoNoSpace}));
  EXPECT_EQ(write_select_tmp(nullptr, &error), 13);
  EXPECT_EQ(read_select_tmp(nullptr, nullptr), 14);
  EXPECT_TRUE(inst.log_lines().empty());
}

TEST_F(WorkFilesTest, StartUpEmptiesSelectTmp) {
  inst.lay_out_standard();
  inst.write('c', "WORK\\SELECT.TMP", "an old selection");
  ASSERT_EQ(drom_init(), 0);
  EXPECT_EQ(inst.read('c', "WORK\\SELECT.TMP"), std::string(20000, '\0'));
  drom_term();
}

TEST_F(WorkFilesTest, MatchingEntriesAreSummedIntoOneRunOverBlocks) {
  writer::LocalPriceSpec spec;
  spec.run_limit = 3;  // five records of B: entries of 3 and 2
  for (int i = 0; i < 2; ++i) spec.records.push_back(rec62("A00000000000", i));
  for (int i = 0; i < 5; ++i) spec.records.push_back(rec62("B00000000000", i));
  spec.records.push_back(rec62("B00000000001", 9));
  for (int i = 0; i < 66; ++i) spec.records.push_back(rec62("K00000000000", i));
  write_pair(spec);
  ASSERT_EQ(LCPOpen(&h, 1), 0);
  EXPECT_EQ(read_all("B00000000000"), (std::vector<std::string>{"1000", "1001", "1002", "1003", "1004"}));
  EXPECT_EQ(h.total, 5u);
  EXPECT_EQ(read_all("B0000000000").size(), 6u);  // a shorter key matches on its prefix only: every B
  const std::vector<std::string> k = read_all("K00000000000");
  EXPECT_EQ((tuple{k.size(), k.back(), h.blocks.count, h.records_per_block, h.current_block == h.blocks.last,
                   h.index_in_block}),
            (tuple{66u, "1065", 2, 65, true, 0}));
  EXPECT_EQ((tuple{read_all("C").size(), h.total, LCPSeqRead(&h, nullptr)}), (tuple{0u, 0u, 20}));  // no match
}

TEST_F(WorkFilesTest, HandMadeIndexEndsAtAZeroEntry) {
  // Pair 3: 14-byte entries (10-byte key, start, count), 132-byte records.
  auto entry = [](const std::string& key, char start, char count) { return key + start + '\0' + count + '\0'; };
  std::string data;
  for (int i = 0; i < 4; ++i) {
    std::string r(132, ' ');
    r.replace(0, 1, std::to_string(i));
    r.replace(52, 12, "PART" + std::to_string(i) + "0000000");
    data += r;
  }
  inst.write('c', "LP\\LOCALP3.IA",
             entry("DEALER0001", 1, 1) + entry("OTHER00000", 0, 1) + entry("DEALER0001", 2, 2) +
                 entry("EMPTYRUN00", 3, 0) + std::string(14, '\0') + entry("DEALER0001", 0, 9));
  inst.write('c', "LP\\LOCALP3.D", data);
  ASSERT_EQ(LCPOpen(&h, 3), 0);
  char out[132];
  ASSERT_EQ(LCPKeyRead(&h, "DEALER0001", 10, out), 0);
  // 1 + 2 from the first entry's start; the entry behind the zero one is not read.
  EXPECT_EQ((tuple{h.total, out[0]}), (tuple{3u, '1'}));
  std::memset(out, 'x', sizeof out);
  LCP3PrtNoRead(&h, "PART30000000", out);
  EXPECT_EQ((tuple{h.end_flag, out[0]}), (tuple{0, '3'}));
  LCP3PrtNoRead(&h, "PART00000000", out);  // record 0 was not collected: out is left as it was
  EXPECT_EQ((tuple{h.end_flag, out[0]}), (tuple{1, '3'}));
  // A match whose runs sum to 0.
  EXPECT_EQ((tuple{LCPKeyRead(&h, "EMPTYRUN00", 10, out), h.end_flag, h.blocks.count}), (tuple{0, 1, 0}));
  EXPECT_EQ(LCPKeyRead(nullptr, "DEALER0001", 10, out), 128);
  h.record_length = 200;  // a caller's change: no copy is sized by it
  EXPECT_EQ(LCPKeyRead(&h, "DEALER0001", 10, out), 128);
  h.record_length = 132;
}

TEST_F(WorkFilesTest, OpenRefusesOtherPairsAndMissingData) {
  EXPECT_EQ(LCPOpen(&h, 4), 128);
  EXPECT_EQ(LCPOpen(&h, 0), 128);
  EXPECT_EQ(inst.log_reports(), (std::vector<std::string>{"ZKSUBF30,LCPOpen,Parm Error,(128)(4)(55)",
                                                          "ZKSUBF30,LCPOpen,Parm Error,(128)(0)(55)"}));
  EXPECT_EQ((tuple{LCPOpen(&h, 2), inst.log_reports().size(), LCPSeqRead(&h, nullptr)}), (tuple{-1, 2u, 20}));  // no LOCALP2.D
}

// A run whose count passes the end of the data file (65535 records) stops at
// the first short block: reported, no records kept.
TEST_F(WorkFilesTest, ARunPastTheEndOfTheDataIsReportedAndKeepsNoRecords) {
  inst.write('c', "LP\\LOCALP2.IA", std::string("K00000000000\x00\x00\xFF\xFF", 16));
  inst.write('c', "LP\\LOCALP2.D", rec62("K00000000000", 0));
  ASSERT_EQ(LCPOpen(&h, 2), 0);
  char out[62];
  EXPECT_EQ((tuple{LCPKeyRead(&h, "K00000000000", 12, out), inst.log_reports().back(), h.blocks.count, LCPSeqRead(&h, out)}),
            (tuple{14, "ZKSUBF30,LCPKeyRead,fread,(14)(0)(216)", 0, 20}));
}

}  // namespace
}  // namespace zk::test

// Fuzz target of the readers of the user's and the hard disk's own files:
// the price master and its price files (kakaku_*, the hard-disk engine
// under them), the local price files (LCP*), the selection work files
// SELECT.TMP and LCPSEL.TMP, and the vehicle work file JOUHOU.TMP narrowed
// by v_jtmp_sign.
//
// Files: an installation under the standard configuration (or the input's
// own), with PRICE.MST, LOCALP.MST and their files, LOCALP1 to LOCALP3 and
// the work files in the work directory. Control bytes: a fault to inject,
// then up to 24 operations, each a byte choosing it and its arguments:
//   0 kakaku_open      which               5 LCPSeqRead
//   1 kakaku_read      key length, key,    6 LCP3PrtNoRead  part number (12)
//                      selector            7 VBReadSelectTmp / VBReadLcpselTmp
//   2 kakaku_reopen                        8 v_jtmp_sign    criteria, step,
//   3 kakaku_close                            the step's code, the arguments
//   4 LCPOpen pair, then LCPKeyRead key length, key
//
// Checks: results are documented ones; a price record is written only on
// success and never past its 50 bytes; a local-price record delivered lies inside
// the handle's blocks; the selection lists hold at most 1000 entries; the
// narrowing leaves JOUHOU.TMP its length; and after the input nothing is left
// open (each handle closed at the end).

#include "fuzz/fuzz_support.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 24;

class Session {
 public:
  explicit Session(Control& in) : in_(in) {}
  ~Session() {
    kakaku_close(&price_);
    if (lcp_open_) LCPClose(&lcp_);
    TermSelTmp();
    TermLcpTmp();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void run_operation() {
    int32_t detail = 0;
    switch (in_.byte() % 9) {
      case 0: {
        if (price_) kakaku_close(&price_);
        const int r = kakaku_open(in_.byte() % 3, &price_, &detail);
        documented("kakaku_open", r, {0, -1, 11, 14, 15, 20, 128});
        check((r == 0) == (price_ != nullptr), "kakaku_open set the handle other than on success");
        break;
      }
      case 1: price_read(); break;
      case 2: documented("kakaku_reopen", kakaku_reopen(price_), {0, 128}); break;
      case 3: check(kakaku_close(&price_) == 0 && price_ == nullptr, "kakaku_close left a handle"); break;
      case 4: local_key_read(); break;
      case 5: local_seq_read(); break;
      case 6: {
        const std::string partno = in_.padded(12);
        if (!lcp_open_) break;
        std::vector<char> out(132, '\x5A');
        LCP3PrtNoRead(&lcp_, partno.c_str(), out.data());
        if (lcp_.end_flag == 0) check(std::memcmp(out.data() + 52, partno.data(), 12) == 0,
                                      "LCP3PrtNoRead delivered another part number");
        break;
      }
      case 7: {
        const bool local = in_.byte() & 1;
        // A read appends the file's records (at most 1000) to the list.
        const int32_t before = local ? VBGetNumLcpTmp() : VBGetNumSelTmp();
        const int r = local ? VBReadLcpselTmp() : VBReadSelectTmp();
        check(one_of(r, {0, 11, 14, 20, -1}), "the selection work file answered an undocumented result");
        const int32_t added = (local ? VBGetNumLcpTmp() : VBGetNumSelTmp()) - before;
        check(added >= 0 && added <= 1000, "a read added more than the file's 1000 records to a selection list");
        break;
      }
      case 8: narrow(); break;
    }
  }

 private:
  void price_read() {
    const std::string key = in_.padded(in_.byte() % 16);
    const int32_t selector = in_.byte() % 4;
    if (!price_) return;
    Guarded price(ZKALL_PRICE_RECORD_SIZE, '\0');
    int32_t detail = 0;
    const int r = kakaku_read(price.data(), key.data(), static_cast<int32_t>(key.size()), selector, price_, &detail);
    documented("kakaku_read", r, {0, -1, 11, 14, 15, 128});
    if (r != 0) check(price.bytes[0] == 0, "kakaku_read wrote the price record on a failure");
    price.check_intact("kakaku_read wrote past the price record");
  }

  void local_key_read() {
    if (lcp_open_) LCPClose(&lcp_);
    lcp_open_ = false;
    const auto pair = static_cast<int16_t>(in_.byte() % 4);
    const std::string key = in_.padded(in_.byte() % 20);
    const int opened = LCPOpen(&lcp_, pair);
    documented("LCPOpen", opened, {0, -1, 128});
    if (opened != 0) return;
    lcp_open_ = true;
    std::vector<char> out(static_cast<size_t>(lcp_.record_length) + 1, '\x5A');
    const int r = LCPKeyRead(&lcp_, key.data(), static_cast<int16_t>(key.size()), out.data());
    documented("LCPKeyRead", r, {0, 11, 14, 15, 20, 128});
    check(out.back() == '\x5A', "LCPKeyRead wrote past the record");
  }

  void local_seq_read() {
    if (!lcp_open_) return;
    std::vector<char> out(static_cast<size_t>(lcp_.record_length) + 1, '\x5A');
    documented("LCPSeqRead", LCPSeqRead(&lcp_, out.data()), {0, 20, 128});
    check(out.back() == '\x5A', "LCPSeqRead wrote past the record");
    check(lcp_.position <= lcp_.total || lcp_.end_flag == 1, "LCPSeqRead went past the records collected");
  }

  void narrow() {
    const int32_t criteria = in_.byte() & 0x7F;
    zkall_ccar* car = get_ccar_addr();
    car->step_no = static_cast<int8_t>(in_.byte());
    if (car->step_no >= 0 && car->step_no < 218) car->step_codes[car->step_no] = static_cast<char>(in_.byte() % 10);
    const uint32_t value32 = in_.u32();
    const uint32_t value64 = in_.u32();
    const std::string vin = in_.padded(17), code6 = in_.padded(6), code15 = in_.padded(15), codes = in_.padded(125),
                      date = in_.padded(6, '0');
    const std::string path = work_file("JOUHOU.TMP");
    const std::string* before = machine().file(path);
    const size_t length = before ? before->size() : 0;
    int32_t detail = 0;
    const int r = v_jtmp_sign(criteria, value32, value64, vin.c_str(), code6.c_str(), code15.c_str(), codes.c_str(),
                              date.c_str(), &detail);
    documented("v_jtmp_sign", r, {0, 1, -1, 11, 12, 13, 14, 15, 20, 128});
    const std::string* after = machine().file(path);
    check((after ? after->size() : 0) == length, "v_jtmp_sign changed the length of JOUHOU.TMP");
  }

  Control& in_;
  zkall_cd_handle* price_ = nullptr;
  zkall_lcp_handle lcp_{};
  bool lcp_open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control in = begin_catalog_input(data, size);
  {
    Session session(in);
    for (int i = 0; i < kMaxOperations && !in.empty(); ++i) session.run_operation();
  }
  finish_input(64);
  return 0;
}

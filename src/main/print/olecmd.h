#pragma once
// The command-target protocol through which a shown document is printed. The names and
// values are those of the published OLE protocol, so the print flow reads as it is defined.
#include <cstdint>

namespace quandel {

using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT OLECMDERR_E_NOTSUPPORTED = static_cast<HRESULT>(0x80040100u);
inline constexpr HRESULT OLECMDERR_E_CANCELED = static_cast<HRESULT>(0x80040103u);

inline constexpr std::uint32_t OLECMDID_PRINT = 6;
inline constexpr std::uint32_t OLECMDF_SUPPORTED = 1;
inline constexpr std::uint32_t OLECMDF_ENABLED = 2;
inline constexpr std::uint32_t OLECMDEXECOPT_DONTPROMPTUSER = 2;

// One command record of a status query.
struct OLECMD {
  std::uint32_t cmdID = 0;
  std::uint32_t cmdf = 0;
};

// An optional argument of Exec; EmptyParam is the value that marks it as not given.
struct TOleVariant {
  bool given = false;
};
inline constexpr TOleVariant EmptyParam{};

class IOleCommandTarget {
 public:
  virtual ~IOleCommandTarget() = default;
  // Fills cmd.cmdf for the standard command group.
  virtual HRESULT QueryStatus(OLECMD& cmd) = 0;
  virtual HRESULT Exec(std::uint32_t cmdID, std::uint32_t cmdExecOpt, const TOleVariant& in,
                       TOleVariant& out) = 0;
};

}  // namespace quandel

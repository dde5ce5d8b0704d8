#pragma once
// Where the find and the filter leave the index of the shown document for each other, so that
// a file's payments are indexed once, whoever needs them first. Held weakly: an index lives
// as long as one of them uses it. GUI thread only.
#include <memory>

#include "dtaus.h"
#include "find_index.h"

namespace quandel {

class TIndexShelf {
 public:
  // The index made of `document`; null when none is there.
  std::shared_ptr<const TFindIndex> get(const std::shared_ptr<const ombra::TDtaus>& document) const {
    if (!document || document_.expired() || document_.lock() != document) return nullptr;
    return index_.lock();
  }
  void put(const std::shared_ptr<const ombra::TDtaus>& document, const std::shared_ptr<const TFindIndex>& index) {
    document_ = document;
    index_ = index;
  }

 private:
  std::weak_ptr<const ombra::TDtaus> document_;
  std::weak_ptr<const TFindIndex> index_;
};

}  // namespace quandel

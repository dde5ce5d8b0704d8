#pragma once
// What the list says above and below the payments of a damaged file: that it is damaged, where
// and how (the reader's reason), the sender's fields as the A record gave them, and how much
// was read. The trailer was not read, so no sums stand there that could not be checked.
#include <QString>

#include "dtaus.h"
#include "regional.h"

namespace quandel {

QString DamagedHead(const ombra::TDtaus& document, const ombra::TRegionalSettings& rs);
QString DamagedTail(const ombra::TDtaus& document);

}  // namespace quandel

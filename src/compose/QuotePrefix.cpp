#include "compose/QuotePrefix.h"

namespace zorvik::compose {

std::string QuotePrefix::of(const store::TrayProperties& tray, const SourceMail& source,
                            const TemplateFields& fields) {
  switch (tray.tagSelection) {
    case 1: return fields.expand(tray.userTag);
    case 2: return source.record.fromLocalPart + tray.tagEndSymbol;
    case 3: return source.record.fromName + tray.tagEndSymbol;
    default: return tray.tagEndSymbol;
  }
}

}  // namespace zorvik::compose

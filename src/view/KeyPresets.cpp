#include "view/KeyPresets.h"

#include "platform/TextEncoding.h"

namespace zorvik::view {

const std::array<KeyPreset, 5>& editorKeyPresets() {
  static const std::array<KeyPreset, 5> kPresets = {
      KeyPreset{platform::sjisLiteral("Windows標準"),
                "^93=VSBR,^113=STG1,113=JTG1,^67=BFCP,^88=BFCT,^86=BFPS,^70=FDDN,^73=REPN,^67=BFCP,^88=BFCT,"
                "^86=BFPS,^90=UNDO,"},
      KeyPreset{"WordStar(OV)",
                "^69=CUP,^88=CDN,^83=CLT,^68=CRT,^65=WLT,^70=WRT,^81+83=TOL,^81+68=EOL,^82=GUP,^67=GDN,^81+82=TOF,"
                "^81+67=EOF,^81+80=PVED,^75+75=VSBR,^76=YWSB,^75+49=STG1,^75+50=STG2,^75+51=STG3,^75+52=STG4,"
                "^75+53=STG5,^81+49=JTG1,^81+50=JTG2,^81+51=JTG3,^81+52=JTG4,^81+53=JTG5,^78=FDDN,^80=FDUP,"
                "^77=NEWL,^66=DUPL,!8=UNER,117=BFMB,119=BFCP,118=BFCT,120=BFPS,^73=ITAB,^81+73=PSSB,#90=UNDO,"
                "^71=DEL1,^72=BSP1,^86=DTOL,^84=DEOL,^89=DELL,^85=TGUL,^87=SCRU,^90=SCRD,^74=CHUL"},
      KeyPreset{"EMACS",
                "^80=CUP,^78=CDN,^66=CLT,^70=CRT,#66=WLT,#70=WRT,^65=TOL,^69=EOL,#86=GUP,^86=GDN,#!188=TOF,"
                "#!190=EOF,^88+^88=XTGS,^83=FDDN,^82=FDUP,#88=REPP,^77=NEWL,^32=BFMB,#87=BFCP,^87=BFCT,^89=BFPS,"
                "^73=ITAB,^88+85=UNDO,^68=DEL1,^72=BSP1,#68=WDEL,#48+^75=DTOL,^75=DELe"},
      KeyPreset{platform::sjisLiteral("秀丸"),
                "^188=WLT,^190=WRT,^76=PVED,^75=VSBR,^70=YWSB,114=FDDN,!114=FDUP,^74=NEWL,!117=BFMB,^67=BFCP,"
                "^88=BFCT,^86=BFPS,^73=ITAB,^90=UNDO,^72=BSP1,^13=DELL"},
      KeyPreset{"MIFES",
                "117=BFMB,121=JTG1,!121=DUPL,^67=BFCP,^71=FDDN,^72=BSP1,^73=ITAB,^75=DEOL,^76=UNER,^77=NEWL,"
                "^82=REPN,^84=WDEL,^85=UNDO,^86=BFPS,^88=BFCT,^89=DELL,^90=UNDO,^188=WLT,^190=WRT,#60=EOF,"
                "#84=TOF"}};
  return kPresets;
}

}  // namespace zorvik::view

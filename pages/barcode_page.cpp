#include "pages/barcode_page.h"

CBarcodePage::CBarcodePage() : CDialog(IDD_BARCODE) {}

#include "pages/other_page.h"

COtherPage::COtherPage() : CDialog(IDD_OTHER) {}

#pragma once

#include <QString>

// What the version window and the Help menu say about the program's distributor. The values
// are set when the program is built; an empty value means "not given".
struct ProductInfo {
    QString MakerName;     // lblDescription
    QString MakerAddress;  // Label1: postal address
    QString Disclaimer;    // lblDisclaimer
    QString SupportMail;   // lblAddress_0
    QString WebSite;       // lblAddress_1
    QString ProductPage;   // opened by "ZQMホームページへ(&P)"
};

// The values this build was configured with.
ProductInfo ConfiguredProductInfo();

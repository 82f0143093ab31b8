#include "ProductInfo.h"

#include "ProductConfig.h"

ProductInfo ConfiguredProductInfo() {
    ProductInfo info;
    info.MakerName = QString::fromUtf8(HAKARON_CFG_MAKER_NAME).trimmed();
    info.MakerAddress = QString::fromUtf8(HAKARON_CFG_MAKER_ADDRESS).trimmed();
    info.Disclaimer = QString::fromUtf8(HAKARON_CFG_DISCLAIMER).trimmed();
    info.SupportMail = QString::fromUtf8(HAKARON_CFG_SUPPORT_MAIL).trimmed();
    info.WebSite = QString::fromUtf8(HAKARON_CFG_WEBSITE).trimmed();
    info.ProductPage = QString::fromUtf8(HAKARON_CFG_PRODUCT_PAGE).trimmed();
    return info;
}

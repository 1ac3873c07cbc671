// The library's version block, resource VERSION 1: language 0x0804
// (Chinese, PRC), code page 1200.
#include "quorvale/com/resources.h"
#include "quorvale/component/maker.h"
#include "quorvale/component/product.h"

extern "C" QUORVALE_RESOURCE(VERSION, 1) const char quorvale_version_resource[] =
    "FILEVERSION=3.0.0.0\n"
    "PRODUCTVERSION=3.0.0.0\n"
    "FILETYPE=DLL\n"
    "\\VarFileInfo\\Translation=0x0804 1200\n"
    "BLOCK 080404B0\n"
    "CompanyName=" QUORVALE_MAKER_NAME
    "\n"
    "Comments=" QUORVALE_MAKER_WEB
    "\n"
    "ProductName=" QUORVALE_PRODUCT
    "\n"
    "FileDescription=" QUORVALE_PRODUCT QUORVALE_RELEASE " " QUORVALE_CONTROL_END
    "\n"
    "FileVersion=3.00\n"
    "ProductVersion=3.00\n"
    "InternalName=Quorvale\n"
    "LegalTrademarks=Quorvale\n"
    "OriginalFilename=Quorvale.dll\n"
    "OLESelfRegister=\n";

// The maker of Quorvale and its web address, written once for the version
// blocks and the install records.
#pragma once

#define QUORVALE_MAKER_NAME "Quorvale Software"
#define QUORVALE_MAKER_WEB "http://www.quorvale.example/"

// The product's name, its release and its two ends as every text of the
// system writes them, written once for the component's version block and
// the setup programs' texts and records.
#pragma once

#define QUORVALE_PRODUCT "Quorvale虚拟主机管理系统"
#define QUORVALE_RELEASE "v3.0"
#define QUORVALE_SERVER_END "被控端"
#define QUORVALE_CONTROL_END "主控端"

/*
** The message table: row 0, then one block per source file in code order.
** Each block is IbisParser/msgtab_<stem>.inc, one {MSGSRC_X, code, "format"},
** line per row.  Every block is included by name, so a block that is
** renamed or lost stops the build instead of dropping its messages.
** The table must stay strictly ordered by (code, source): blocks whose codes
** are shared keep their rows interleaved in one file, ordered by MSG_SOURCE
** (msgtab_rng.inc: 3900 ibis, 3900 rng, 3901 ibis, 3901 rng, 3902 rng, ...;
** msgtab_ebdmdl.inc: 4300 ebdmdl, 4300 group 1, 4300 group 2, 4300 group 3,
** 4301 ...).  A unit test checks the order.
*/
#include "IbisParser/msg.h"

const MSG_ENTRY MSG_table[] = {
{MSGSRC_NONE, 0, "Error code doesn't exist."},
#include "msgtab_mdl.inc"  /* 100-263 */
#include "msgtab_cmpnt.inc"
#include "msgtab_pin.inc"
#include "msgtab_pinmpg.inc"
#include "msgtab_difpin.inc"
#include "msgtab_parse.inc"
#include "msgtab_hdr.inc"
#include "msgtab_crv.inc"
#include "msgtab_pkg.inc"
#include "msgtab_ramp.inc"
#include "msgtab_rngp.inc"
#include "msgtab_acdc.inc"
#include "msgtab_apkg.inc"
#include "msgtab_chk.inc"  /* sanity checks */
#include "msgtab_circuit.inc"
#include "msgtab_cmn.inc"
#include "msgtab_wvfrm.inc"
#include "msgtab_string.inc"
#include "msgtab_testload.inc"
#include "msgtab_testdata.inc"
#include "msgtab_submdl.inc"
#include "msgtab_sswch.inc"
#include "msgtab_spinmpg.inc"
#include "msgtab_submodellimits.inc"
#include "msgtab_smos.inc"
#include "msgtab_sinfo.inc"
#include "msgtab_sect.inc"
#include "msgtab_row.inc"
#include "msgtab_rcvth.inc"
#include "msgtab_crvop.inc"  /* point-list arithmetic */
#include "msgtab_pkgmdl.inc"
#include "msgtab_node.inc"
#include "msgtab_mtx.inc"
#include "msgtab_modellimits.inc"
#include "msgtab_rng.inc"  /* 3900: ibis and rng rows */
#include "msgtab_msel.inc"
#include "msgtab_drvsh.inc"
#include "msgtab_ebdmdl.inc"  /* 4300: ebdmdl and its groups */
#include "msgtab_dly.inc"
#include "msgtab_algmod.inc"
#include "msgtab_cmpntemi.inc"
#include "msgtab_mdlemi.inc"
#include "msgtab_pinemi.inc"
};

const int MSG_tableSize = static_cast<int>(sizeof MSG_table / sizeof MSG_table[0]);

/* Holds TcmuLayout.h's offsets against the kernel's own declaration of the
   shared area: a kernel header that moves a field stops the build. */
#include <linux/target_core_user.h>
#include <stddef.h>

_Static_assert(TCMU_MAILBOX_VERSION == 2, "mailbox version");
_Static_assert(offsetof(struct tcmu_mailbox, version) == 0, "version");
_Static_assert(offsetof(struct tcmu_mailbox, flags) == 2, "flags");
_Static_assert(offsetof(struct tcmu_mailbox, cmdr_off) == 4, "ring offset");
_Static_assert(offsetof(struct tcmu_mailbox, cmdr_size) == 8, "ring size");
_Static_assert(offsetof(struct tcmu_mailbox, cmd_head) == 12, "head");
_Static_assert(offsetof(struct tcmu_mailbox, cmd_tail) == 64, "tail");
_Static_assert(offsetof(struct tcmu_cmd_entry, hdr.len_op) == 0, "length and op");
_Static_assert(offsetof(struct tcmu_cmd_entry, hdr.cmd_id) == 4, "command id");
_Static_assert(offsetof(struct tcmu_cmd_entry, hdr.uflags) == 7, "user flags");
_Static_assert(TCMU_UFLAG_UNKNOWN_OP == 0x1, "unknown op flag");
_Static_assert(TCMU_OP_MASK == 0x7 && TCMU_OP_PAD == 0 && TCMU_OP_CMD == 1 && TCMU_OP_TMR == 2, "ops");
_Static_assert(offsetof(struct tcmu_cmd_entry, req.iov_cnt) == 8, "vector count");
_Static_assert(offsetof(struct tcmu_cmd_entry, req.iov_bidi_cnt) == 12, "bidirectional vector count");
_Static_assert(offsetof(struct tcmu_cmd_entry, req.cdb_off) == 24, "cdb offset");
_Static_assert(offsetof(struct tcmu_cmd_entry, req.iov) == 48, "vectors");
_Static_assert(sizeof(struct iovec) == 16 && offsetof(struct iovec, iov_len) == 8, "vector");
_Static_assert(sizeof(struct tcmu_tmr_entry) == 32, "task management entry");
_Static_assert(offsetof(struct tcmu_tmr_entry, cmd_cnt) == 12, "task management command count");
_Static_assert(offsetof(struct tcmu_tmr_entry, cmd_ids) == 32, "task management command ids");
_Static_assert(offsetof(struct tcmu_cmd_entry, rsp.scsi_status) == 8, "status");
_Static_assert(offsetof(struct tcmu_cmd_entry, rsp.sense_buffer) == 16, "sense");
_Static_assert(TCMU_SENSE_BUFFERSIZE == 96, "sense size");
_Static_assert(TCMU_OP_ALIGN_SIZE == 8, "entry alignment");
_Static_assert(sizeof(struct tcmu_cmd_entry) == 112, "smallest command entry");

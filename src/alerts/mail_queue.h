#pragma once

#include <cstddef>
#include <deque>

#include "alerts/mail_sender.h"

// The mail queue: alert mails waiting while a mail is in transit, at most kMailQueueLimit.
// New mails go to the end; the update cycle takes from the front, so the oldest goes first.
using MailQueue = std::deque<QueuedMail>;
inline constexpr std::size_t kMailQueueLimit = 100;

// Starts a mail over `socket`, or appends it to the queue when the sender is busy (or there
// is no socket to send with). A full queue drops its oldest mail, noted in the problems.
void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const QueuedMail& mail,
                   MailSocket* socket);
// Once per update cycle: starts the oldest queued mail when the sender is free.
void work_off_queue(MailSender& sender, MailQueue& queue, const Settings& settings, MailSocket* socket);
// At the program's end: every mail still waiting or in transit is given up, and the problems
// say how many and, in the log file of each one's rule, which.
void give_up_mail_at_exit(MailSender& sender, MailQueue& queue);

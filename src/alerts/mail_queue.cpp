#include "alerts/mail_queue.h"

#include <chrono>

#include "platform/mail_socket.h"

void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const QueuedMail& mail,
                   MailSocket* socket) {
    QueuedMail stamped = mail;
    if (stamped.time == 0) {
        stamped.time = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    }
    SmtpActions out;
    if (socket != nullptr && start_mail(sender, settings, stamped, out) == StartMail::started) {
        apply_mail_actions(out, *socket);
        return;
    }
    queue.push_back(stamped);
    if (queue.size() <= kMailQueueLimit) return;
    const QueuedMail& oldest = queue.front();
    sender.problems.push_back({"Alert mail dropped: " + std::to_string(kMailQueueLimit) +
                                   " mails were waiting already; the oldest was dropped: " + oldest.message,
                               oldest.log_file});
    queue.pop_front();
}

void work_off_queue(MailSender& sender, MailQueue& queue, const Settings& settings, MailSocket* socket) {
    if (queue.empty() || socket == nullptr) return;
    SmtpActions out;
    if (start_mail(sender, settings, queue.front(), out) != StartMail::started) return;
    queue.pop_front();
    apply_mail_actions(out, *socket);
}

void give_up_mail_at_exit(MailSender& sender, MailQueue& queue) {
    std::size_t count = queue.size();
    const bool in_transit = sender.busy() && !sender.delivered;
    if (in_transit) {
        ++count;
        sender.problems.push_back({"Alert mail not sent: the program ended before it was sent: " + sender.current.message,
                                   sender.current.log_file});
    }
    for (const QueuedMail& m : queue) {
        sender.problems.push_back({"Alert mail not sent: the program ended before it was sent: " + m.message, m.log_file});
    }
    queue.clear();
    sender.state = SmtpState::closed;
    sender.mail.password.clear();
    if (count > 0) {
        sender.problems.push_back({std::to_string(count) + (count == 1 ? " alert mail was" : " alert mails were") +
                                       " not sent: the program ended while they waited.",
                                   {}});
    }
}

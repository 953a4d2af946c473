#include "support/smtp_peer.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

constexpr const char* kServerScript = R"PY(
import argparse, asyncio, os, signal, ssl
from aiosmtpd.smtp import SMTP, AuthResult

signal.alarm(180)
ap = argparse.ArgumentParser()
ap.add_argument('out')
for flag in ('starttls', 'implicit', 'auth', 'auth-in-clear', 'login-only', 'esmtp', 'stall', 'drop-in-data'):
    ap.add_argument('--' + flag, action='store_true')
ap.add_argument('--cert')
ap.add_argument('--key')
a = ap.parse_args()
out = a.out

def note(name, text):
    with open(os.path.join(out, name), 'a') as f:
        f.write(text + '\n')

def authenticator(server, session, envelope, mechanism, auth_data):
    login = auth_data.login.decode('utf-8', 'replace')
    password = auth_data.password.decode('utf-8', 'replace')
    note('auth.log', '%s %s %s' % (mechanism, login, password))
    if login == 'alerts' and password == 's3cret pass':
        return AuthResult(success=True, auth_data=login)
    return AuthResult(success=False, handled=False)

class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith('refuse'):
            return '550 5.1.1 no such user'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        while a.stall and os.path.exists(os.path.join(out, 'stall')):
            await asyncio.sleep(0.05)
        n = len([f for f in os.listdir(out) if f.endswith('.eml')])
        tls = server.transport.get_extra_info('ssl_object') is not None
        with open(os.path.join(out, 'envelope%d.txt' % n), 'w') as f:
            f.write('%s %s tls=%s login=%s' % (envelope.mail_from, ','.join(envelope.rcpt_tos),
                    'yes' if tls else 'no', session.auth_data if session.authenticated else '-'))
        with open(os.path.join(out, 'mail%d.tmp' % n), 'wb') as f:
            f.write(envelope.original_content)
        os.rename(os.path.join(out, 'mail%d.tmp' % n), os.path.join(out, 'mail%d.eml' % n))
        return '250 Message accepted'

tls_context = None
if a.cert:
    tls_context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls_context.load_cert_chain(a.cert, a.key)
options = dict(hostname='kelvanto.test')
if a.auth or a.auth_in_clear:
    options.update(authenticator=authenticator, auth_required=True)
if a.starttls:
    options.update(tls_context=tls_context, require_starttls=True)
if a.implicit or a.auth_in_clear:
    options.update(auth_require_tls=False)
if a.esmtp:
    options.update(ident='ESMTP test server')
if a.login_only:
    options.update(auth_exclude_mechanism=['PLAIN'])

clients = []

async def pipe(reader, writer, record, drop=None):
    seen = b''
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if record:
                with open(os.path.join(out, 'wire.log'), 'ab') as f:
                    f.write(data)
            if drop and b'DATA\r\n' in seen:
                drop.close()
                break
            seen += data
            writer.write(data)
            await writer.drain()
    except (ConnectionError, asyncio.CancelledError):
        pass
    finally:
        writer.close()

async def main():
    loop = asyncio.get_running_loop()
    inner = await loop.create_server(lambda: SMTP(Handler(), **options), '127.0.0.1', 0,
                                     ssl=tls_context if a.implicit else None)
    inner_port = inner.sockets[0].getsockname()[1]

    async def client(reader, writer):
        clients.append(1)
        drop = writer if a.drop_in_data and len(clients) == 1 else None
        server_reader, server_writer = await asyncio.open_connection('127.0.0.1', inner_port)
        await asyncio.gather(pipe(reader, server_writer, True, drop), pipe(server_reader, writer, False))

    outer = await asyncio.start_server(client, '127.0.0.1', 0)
    print('ready %d' % outer.sockets[0].getsockname()[1], flush=True)
    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    await stop.wait()

asyncio.run(main())
)PY";

bool run(const std::vector<std::string>& args, const std::filesystem::path& log) {
    ChildProcess p = start_process(args[0], {args.begin() + 1, args.end()}, {}, log.string());
    const int status = wait_process(p, 30000);
    kill_process(p);
    return status == 0;
}

// A key and a certificate for 127.0.0.1 signed by the authority `ca` (made first when absent).
bool make_signed(const std::filesystem::path& dir, const std::string& ca, const std::string& name) {
    const std::string openssl = "/usr/bin/openssl";
    const auto at = [&](const std::string& file) { return (dir / file).string(); };
    const std::filesystem::path log = dir / "openssl.log";
    if (!std::filesystem::exists(at(ca + ".pem")) &&
        !run({openssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
              at(ca + ".key"), "-out", at(ca + ".pem"), "-days", "2", "-subj", "/CN=Kelvanto test authority " + ca},
             log)) {
        return false;
    }
    std::ofstream(at(name + ".cnf")) << "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                                        "basicConstraints=CA:FALSE\n"
                                        "extendedKeyUsage=serverAuth\n";
    return run({openssl, "req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                at(name + ".key"), "-out", at(name + ".csr"), "-subj", "/CN=127.0.0.1"},
               log) &&
           run({openssl, "x509", "-req", "-in", at(name + ".csr"), "-CA", at(ca + ".pem"), "-CAkey", at(ca + ".key"),
                "-CAcreateserial", "-days", "2", "-out", at(name + ".pem"), "-extfile", at(name + ".cnf")},
               log);
}

}  // namespace

std::string slurp_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TestCertificates make_test_certificates(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    TestCertificates c;
    c.made = make_signed(dir, "ca", "server") && make_signed(dir, "other-ca", "untrusted");
    c.ca = (dir / "ca.pem").string();
    c.cert = (dir / "server.pem").string();
    c.key = (dir / "server.key").string();
    c.untrusted_cert = (dir / "untrusted.pem").string();
    c.untrusted_key = (dir / "untrusted.key").string();
    return c;
}

SmtpPeer::SmtpPeer(const std::filesystem::path& dir, const SmtpPeerOptions& o) : out_(dir / "received") {
    std::filesystem::create_directories(out_);
    const std::string script = (dir / "smtp_peer.py").string();
    std::ofstream(script) << kServerScript;
    std::vector<std::string> args{script, out_.string()};
    if (o.starttls) args.push_back("--starttls");
    if (o.implicit_tls) args.push_back("--implicit");
    if (o.auth) args.push_back("--auth");
    if (o.auth_in_clear) args.push_back("--auth-in-clear");
    if (o.login_only) args.push_back("--login-only");
    if (o.esmtp) args.push_back("--esmtp");
    if (o.drop_in_data) args.push_back("--drop-in-data");
    if (o.stall) {
        args.push_back("--stall");
        std::ofstream(out_ / "stall") << "held\n";
    }
    if (!o.cert.empty()) args.insert(args.end(), {"--cert", o.cert, "--key", o.key});
    process_ = start_process("/usr/bin/python3", args, {}, (dir / "smtp_peer.log").string());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline && process_running(process_)) {
        const std::string said = log();
        const std::size_t at = said.find("ready ");
        if (at != std::string::npos && said.find('\n', at) != std::string::npos) {
            port_ = std::stoi(said.substr(at + 6));
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

SmtpPeer::~SmtpPeer() {
    if (process_.pid > 0) ::kill(process_.pid, SIGTERM);
    if (wait_process(process_, 5000) < 0) kill_process(process_);
}

std::string SmtpPeer::log() const {
    return slurp_file(out_.parent_path() / "smtp_peer.log");
}

bool SmtpPeer::has_mail(int n) const {
    return std::filesystem::exists(out_ / ("mail" + std::to_string(n) + ".eml"));
}

std::string SmtpPeer::mail(int n) const {
    return slurp_file(out_ / ("mail" + std::to_string(n) + ".eml"));
}

std::string SmtpPeer::envelope(int n) const {
    return slurp_file(out_ / ("envelope" + std::to_string(n) + ".txt"));
}

int SmtpPeer::mail_count() const {
    int n = 0;
    while (has_mail(n)) ++n;
    return n;
}

std::string SmtpPeer::wire() const {
    return slurp_file(out_ / "wire.log");
}

std::string SmtpPeer::auth_log() const {
    return slurp_file(out_ / "auth.log");
}

void SmtpPeer::release_stall() {
    std::filesystem::remove(out_ / "stall");
}

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The sample server against the committed sample library, over real loopback
HTTP: what the client reads must arrive byte for byte, in GB2312 with CR LF,
under the names the client forms; and the server must log, refuse and stop
the way the run command relies on.

usage: sample_server_test.py PATH/TO/kardelo-sample-server
"""

import http.client
import os
import pathlib
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

SERVER = None
LIBRARY = pathlib.Path(__file__).resolve().parent.parent / "sample-library"
# Guards against a hang only; nothing here depends on how fast things are.
HANG_GUARD = 60


def lecture_list_name(update_date):
    return ("更新日期：" + update_date + ".zip")[-12:]


def is_kept(line):
    return "%" in line and "*" in line


def kept_lines(data):
    """The client's rule: CR LF-terminated lines holding both '%' and '*'."""
    text = data.decode("gb2312")
    lines = text.split("\r\n")[:-1]
    return [line for line in lines if is_kept(line)]


class RunningServer:
    def __init__(self, *args):
        self.process = subprocess.Popen([SERVER, "--port", "0", *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True)
        banner = self.process.stdout.readline()
        found = re.search(r"http://127\.0\.0\.1:(\d+)/", banner)
        if not found:
            self.process.kill()
            raise AssertionError(f"no address in the banner {banner!r}")
        self.port = int(found.group(1))

    def get(self, path, read=None, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=HANG_GUARD)
        connection.request("GET", path, headers=headers or {})
        response = connection.getresponse()
        body = response.read() if read is None else response.read(read)
        connection.close()
        return response, body

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        rest, errors = self.process.communicate(timeout=HANG_GUARD)
        return self.process.returncode, rest, errors


class SampleLibraryOverHttp(unittest.TestCase):
    def setUp(self):
        # Every lecture of the library is fetched here; at the watchable rate
        # that alone would take half a minute. ThrottledAudio covers the rate.
        self.server = RunningServer("--audio-rate", "0")

    def tearDown(self):
        self.server.stop()

    def test_version_file_publishes_our_version_in_gb2312(self):
        response, body = self.server.get("/version.txt")
        self.assertEqual(response.status, 200)
        self.assertEqual(body, b"20140202[QorVersion]\r\n")
        self.assertEqual(response.getheader("Content-Length"), str(len(body)))
        self.assertNotIn("charset", response.getheader("Content-Type"))

    def test_catalogue_scrolls_has_both_date_lengths_and_lines_to_drop(self):
        response, body = self.server.get("/lists/catalogue.txt")
        self.assertEqual(response.status, 200)
        self.assertEqual(body, (LIBRARY / "lists/catalogue.txt").read_bytes())
        self.assertTrue(body.endswith(b"\r\n"))
        self.assertNotIn(b"\n", body.replace(b"\r\n", b""))
        all_lines = body.decode("gb2312").split("\r\n")[:-1]
        conferences = kept_lines(body)
        dates = [line[line.index("%") + 1:line.index("*")] for line in conferences]
        for line in conferences:
            self.assertRegex(line, r"^[^%*]+%(\d{8}|\d{4})\*")
        # More conferences than one page of rows, so the catalogue scrolls.
        self.assertGreaterEqual(sum(len(date) == 8 for date in dates), 12)
        self.assertIn(4, [len(date) for date in dates])
        self.assertEqual(len(set(dates)), len(dates))
        # None newer than the version the library publishes.
        self.assertLessEqual(max(date for date in dates if len(date) == 8), "20140202")
        # Lines to drop at the top and between conferences, not just at the ends.
        self.assertFalse(is_kept(all_lines[0]))
        self.assertEqual(all_lines[1], "")
        first, last = all_lines.index(conferences[0]), all_lines.index(conferences[-1])
        self.assertTrue(any(not is_kept(line) for line in all_lines[first:last]))

    def test_every_lecture_list_and_lecture_is_served_under_the_clients_names(self):
        _, catalogue = self.server.get("/lists/catalogue.txt")
        per_list = []
        for conference in kept_lines(catalogue):
            update_date = conference[conference.index("%") + 1:conference.index("*")]
            # A four-character date gives a list name that is not ASCII; it
            # goes over the wire percent-encoded as UTF-8.
            name = lecture_list_name(update_date)
            response, body = self.server.get("/lists/" + urllib.parse.quote(name))
            self.assertEqual(response.status, 200, update_date)
            self.assertEqual(response.getheader("Content-Type"), "application/octet-stream")
            self.assertEqual(body, (LIBRARY / "lists" / name).read_bytes())
            self.assertGreater(len(body.split(b"\r\n")) - 1, len(kept_lines(body)), name)
            per_list.append(len(kept_lines(body)))
            for lecture in kept_lines(body):
                saved_name = lecture[:lecture.index("*")]
                self.assertRegex(saved_name, r'^[^%$*./\\:?"<>|]+%[^%$*./\\:?"<>|]+\$[^%$*./\\:?"<>|]+$')
                address = lecture[lecture.index("*") + 1:]
                prefix = "http://127.0.0.1:18418/"
                self.assertTrue(address.startswith(prefix), address)
                relative = address[len(prefix):]
                response, audio = self.server.get("/" + relative)
                self.assertEqual(response.status, 200, relative)
                self.assertEqual(response.getheader("Content-Length"), str(len(audio)))
                self.assertEqual(audio, (LIBRARY / relative).read_bytes())
                # An ASF header: the file really is Windows Media audio.
                self.assertEqual(audio[:4], bytes.fromhex("3026b275"))
        self.assertGreaterEqual(min(per_list), 2)
        # One list longer than a page of rows, so the lecture page scrolls.
        self.assertGreaterEqual(max(per_list), 20)

    def test_pages_are_served_and_root_is_the_home_page(self):
        for path in ("/", "/help.html", "/android.html"):
            response, body = self.server.get(path)
            self.assertEqual(response.status, 200, path)
            self.assertIn("<html", body.decode("utf-8"))
        _, home = self.server.get("/")
        self.assertEqual(home, (LIBRARY / "index.html").read_bytes())

    def test_missing_files_and_ways_out_of_the_root_get_a_404_page(self):
        for path in ("/lists/20990101.zip", "/../CMakeLists.txt", "/audio/../../sample_server.cpp",
                     "/lists/%2e%2e/%2e%2e/sample_server.cpp"):
            response, body = self.server.get(path)
            self.assertEqual(response.status, 404, path)
            self.assertIn(b"<html>", body)
            self.assertIn(b"404", body)

    def test_requests_through_a_proxy_name_the_whole_url(self):
        # How a client built for another server's address reaches this one.
        for target, expected in (("http://127.0.0.1:18418/version.txt", 200),
                                 ("HTTP://library.example:8080/lists/", 404),
                                 ("http://library.example", 200),
                                 ("http://library.example/../CMakeLists.txt", 404)):
            response, body = self.server.get(target)
            self.assertEqual(response.status, expected, target)
        _, version = self.server.get("http://127.0.0.1:18418/version.txt")
        self.assertEqual(version, (LIBRARY / "version.txt").read_bytes())

    def test_each_request_is_logged_on_one_line(self):
        self.server.get("/version.txt")
        self.server.get("/no-such-file.txt")
        _, output, _ = self.server.stop()
        lines = output.splitlines()
        self.assertTrue(any(re.search(r" GET /version\.txt 200 22$", line) for line in lines),
                        lines)
        self.assertTrue(any(re.search(r" GET /no-such-file\.txt 404 \d+$", line) for line in lines),
                        lines)


class ThrottledAudio(unittest.TestCase):
    def setUp(self):
        self.root = pathlib.Path(tempfile.mkdtemp())
        (self.root / "audio").mkdir()
        self.lecture = os.urandom(300 * 1024)
        (self.root / "audio/long.wma").write_bytes(self.lecture)

    def tearDown(self):
        shutil.rmtree(self.root)

    def test_a_whole_lecture_arrives_intact_with_its_length(self):
        server = RunningServer("--root", str(self.root))
        try:
            response, body = server.get("/audio/long.wma")
            self.assertEqual(response.getheader("Content-Length"), str(len(self.lecture)))
            self.assertEqual(body, self.lecture)
        finally:
            _, output, _ = server.stop()
        self.assertRegex(output, rf" GET /audio/long\.wma 200 {len(self.lecture)}\n")

    def test_a_download_cut_off_by_the_client_is_logged_as_such(self):
        server = RunningServer("--root", str(self.root), "--audio-rate", "50")
        try:
            response, first = server.get("/audio/long.wma", read=1000)
            self.assertEqual(first, self.lecture[:1000])
        finally:
            _, output, _ = server.stop()
        self.assertRegex(output, rf" GET /audio/long\.wma 200 \d+ \(cut off, {len(self.lecture)} ")


    def test_the_rest_of_a_lecture_only_while_it_is_unchanged(self):
        server = RunningServer("--root", str(self.root), "--audio-rate", "0")
        try:
            whole, _ = server.get("/audio/long.wma")
            tag = whole.getheader("ETag")
            self.assertTrue(tag and tag.startswith('"'))
            rest = {"Range": "bytes=1000-", "If-Range": tag}
            response, body = server.get("/audio/long.wma", headers=rest)
            self.assertEqual((response.status, body), (206, self.lecture[1000:]))
            self.assertEqual(response.getheader("Content-Range"),
                             f"bytes 1000-{len(self.lecture) - 1}/{len(self.lecture)}")
            (self.root / "audio/long.wma").write_bytes(self.lecture[::-1])
            response, body = server.get("/audio/long.wma", headers=rest)
            self.assertEqual((response.status, body), (200, self.lecture[::-1]))
        finally:
            server.stop()


class Lifetime(unittest.TestCase):
    def test_stops_cleanly_on_sigint_and_sigterm(self):
        for sent in (signal.SIGINT, signal.SIGTERM):
            server = RunningServer()
            server.process.send_signal(sent)
            code, output, _ = server.stop()
            self.assertEqual(code, 0)
            self.assertIn("stopped", output)

    def test_stops_when_the_watched_process_ends(self):
        watched = subprocess.Popen([sys.executable, "-c", "import sys; sys.stdin.read()"],
                                   stdin=subprocess.PIPE)
        server = RunningServer("--exit-with-pid", str(watched.pid))
        response, _ = server.get("/version.txt")
        self.assertEqual(response.status, 200)
        self.assertIsNone(server.process.poll())
        watched.stdin.close()  # the watched process ends but stays unreaped for now
        server.process.wait(timeout=HANG_GUARD)
        watched.wait()
        code, output, _ = server.stop()
        self.assertEqual(code, 0)
        self.assertIn("has ended", output)

    def test_a_second_server_on_a_taken_port_fails(self):
        first = RunningServer()
        try:
            second = subprocess.run([SERVER, "--port", str(first.port)], capture_output=True,
                                    text=True, timeout=HANG_GUARD)
            self.assertEqual(second.returncode, 1)
            self.assertIn("cannot listen", second.stderr)
            response, _ = first.get("/version.txt")
            self.assertEqual(response.status, 200)
        finally:
            first.stop()

    def test_listens_on_loopback_only(self):
        addresses = set()
        try:
            for info in socket.getaddrinfo(socket.gethostname(), None, socket.AF_INET):
                addresses.add(info[4][0])
        except OSError:
            pass
        try:
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
                probe.connect(("192.0.2.1", 9))  # picks the outgoing address; sends nothing
                addresses.add(probe.getsockname()[0])
        except OSError:
            pass
        outside = sorted(a for a in addresses if not a.startswith("127."))
        if not outside:
            self.skipTest("this machine has no address besides loopback")
        server = RunningServer()
        try:
            socket.create_connection(("127.0.0.1", server.port), timeout=HANG_GUARD).close()
            for address in outside:
                with self.assertRaises(OSError, msg=address):
                    socket.create_connection((address, server.port), timeout=HANG_GUARD).close()
        finally:
            server.stop()

if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    SERVER = sys.argv.pop(1)
    unittest.main(verbosity=2)

#!/usr/bin/env python3
"""Serves the browser build on this machine only: web-serve.py FOLDER PORT.

python3's own server is enough; this only makes sure the WebAssembly module goes out as application/wasm,
which browsers want before they compile it while it downloads.
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm',
                      '.js': 'text/javascript'}


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), functools.partial(Handler, directory=folder))
    print('Kelvanor is served at http://127.0.0.1:%d/ (Ctrl+C stops)' % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()

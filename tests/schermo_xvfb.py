#!/usr/bin/env python3
"""Reads the screen of an Xvfb started with -fbdir (an XWD image in
DIR/Xvfb_screen0), for the window checks of the Windows program.

  schermo_xvfb.py DIR png FILE.png [X Y W H]   writes (part of) the screen as PNG
  schermo_xvfb.py DIR conta X Y W H            prints how many pixels of the
                                               rectangle are dark, then how
                                               many are light
"""
import struct
import sys
import zlib


def leggi_schermo(cartella):
    with open(cartella + "/Xvfb_screen0", "rb") as f:
        dati = f.read()
    campi = struct.unpack(">25I", dati[:100])
    dim_testata, _, formato, profondita, larghezza, altezza = campi[:6]
    bit_pixel, byte_riga, ncolori = campi[11], campi[12], campi[19]
    ordine_byte = campi[7]
    if formato != 2 or bit_pixel != 32 or profondita not in (24, 32):
        raise SystemExit("schermo non in formato ZPixmap a 32 bit")
    inizio = dim_testata + 12 * ncolori
    return dati, inizio, larghezza, altezza, byte_riga, ordine_byte


def pixel(schermo, x, y):
    dati, inizio, _, _, byte_riga, ordine_byte = schermo
    o = inizio + y * byte_riga + 4 * x
    b0, b1, b2, b3 = dati[o:o + 4]
    # LSBFirst: blue, green, red, pad; MSBFirst: pad, red, green, blue.
    return (b2, b1, b0) if ordine_byte == 0 else (b1, b2, b3)


def rettangolo(schermo, argomenti):
    _, _, larghezza, altezza, _, _ = schermo
    if not argomenti:
        return 0, 0, larghezza, altezza
    x, y, w, h = (int(a) for a in argomenti)
    x0, y0 = max(0, x), max(0, y)
    return x0, y0, max(0, min(larghezza, x + w) - x0), max(0, min(altezza, y + h) - y0)


def scrivi_png(nome, schermo, r):
    x0, y0, w, h = r
    righe = b"".join(
        b"\0" + bytes(c for x in range(x0, x0 + w) for c in pixel(schermo, x, y)) for y in range(y0, y0 + h))

    def blocco(tipo, contenuto):
        return (struct.pack(">I", len(contenuto)) + tipo + contenuto +
                struct.pack(">I", zlib.crc32(tipo + contenuto) & 0xFFFFFFFF))

    with open(nome, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + blocco(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                blocco(b"IDAT", zlib.compress(righe)) + blocco(b"IEND", b""))


def main():
    cartella, comando = sys.argv[1], sys.argv[2]
    schermo = leggi_schermo(cartella)
    if comando == "png":
        scrivi_png(sys.argv[3], schermo, rettangolo(schermo, sys.argv[4:]))
    elif comando == "conta":
        x0, y0, w, h = rettangolo(schermo, sys.argv[3:])
        somme = [sum(pixel(schermo, x, y)) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]
        print(sum(1 for s in somme if s < 200), sum(1 for s in somme if s > 600))
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main()

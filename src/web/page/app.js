"use strict";
// The page is only a view: every rule that protects the mount lives on the server. While a move
// is held the page beats every 200 ms; a page that stops beating has its move ended.
const BATTEMENT_MS = 200;
const RECONNEXION_MS = 2000;
const $ = (id) => document.getElementById(id);
let ws = null;
let tenus = new Set();       // the directions this page holds
let battement = null;
let questionId = 0;
let dernierePropositions = [];
const texteRa = $("ra"), texteDec = $("dec"), etat = $("etat");
// French when the browser's first language is French, English otherwise; the server sends the
// English of the page's texts when it is chosen.
const premiereLangue = (navigator.languages && navigator.languages[0]) || navigator.language || "fr";
const LANGUE = /^fr(\b|[-_])/i.test(premiereLangue) ? "fr" : "en";
document.documentElement.lang = LANGUE;
let textes = {};
const t = (fr) => textes[fr] || fr;
// Every text of the page that the server has translated, except what the mount and the user wrote.
function traduire(m) {
  textes = m;
  const vivants = ["edtsaisie", "ra", "dec", "propositions", "question"];
  const marche = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n; (n = marche.nextNode());) {
    if (vivants.some((id) => $(id).contains(n))) continue;
    const k = n.nodeValue.trim();
    if (textes[k]) n.nodeValue = n.nodeValue.replace(k, textes[k]);
  }
  for (const e of document.querySelectorAll("[aria-label], [title]"))
    for (const a of ["aria-label", "title"]) {
      const v = e.getAttribute(a);
      if (v && textes[v]) e.setAttribute(a, textes[v]);
    }
}

function envoyer(m) { if (ws && ws.readyState === WebSocket.OPEN) ws.send(JSON.stringify(m)); }

function journal(ligne) {
  const box = $("edtsaisie");
  box.textContent = ligne + "\n" + box.textContent.slice(0, 20000);
}

function lienPerdu(texte) {
  $("position").classList.add("perdu");
  etat.textContent = texte;
}

// ---- the live channel ----
function connecter() {
  ws = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/live?langue=" + LANGUE);
  ws.onopen = () => { etat.textContent = ""; };
  ws.onmessage = (e) => { try { recevoir(JSON.parse(e.data)); } catch (err) {} };
  ws.onclose = () => {
    toutRelacher(false);
    lienPerdu(t("Liaison avec selvane-web perdue"));
    fermerBoite();
    setTimeout(connecter, RECONNEXION_MS);
  };
}

function recevoir(m) {
  switch (m.t) {
  case "texts": traduire(m.m); break;
  case "state":
    choisirVitesse(m.speed); $("auto").checked = m.auto; occupe(m.busy); mouvements(m);
    if (m.known) position(m.ra, m.dec);
    if (!m.link) lienPerdu(m.linkText);
    etoiles(m.stars);
    break;
  case "pos": position(m.ra, m.dec); break;
  case "link": if (!m.ok) lienPerdu(m.text); break;
  case "moves": mouvements(m); break;
  case "speed": choisirVitesse(m.i); break;
  case "auto": $("auto").checked = m.on; break;
  case "busy": occupe(m.on); break;
  case "log": journal(m.text); break;
  case "info": boite(m.text, null, true); break;
  case "ask": boite(m.text, m.id, m.def === "ok"); break;
  case "suggest": propositions(m.q, m.list); break;
  case "fields": champs(m.f, m.label); break;
  case "stars": etoiles(m.n); break;
  }
}

function position(ra, dec) {
  texteRa.textContent = ra; texteDec.textContent = dec;
  $("position").classList.remove("perdu");
  etat.textContent = "";
}
function mouvements(m) {
  for (const b of document.querySelectorAll(".dir"))
    b.setAttribute("aria-pressed", String(b.dataset.d === m.ns || b.dataset.d === m.we));
}
function occupe(on) { $("BtnGOTO").disabled = on; $("btninitialisation").disabled = on; $("btnAligner").disabled = on; }
function choisirVitesse(i) {
  for (const r of document.querySelectorAll("input[name=v]")) r.checked = Number(r.value) === i;
}
function etoiles(n) { $("etoiles").textContent = n ? t("Alignement : ") + n + t(n > 1 ? " étoiles" : " étoile") : ""; }

// ---- held moves ----
function battre() {
  if (tenus.size && !battement) battement = setInterval(() => envoyer({ t: "beat" }), BATTEMENT_MS);
  if (!tenus.size && battement) { clearInterval(battement); battement = null; }
}
function appuyer(d, bouton) {
  if (tenus.has(d)) return;
  tenus.add(d); bouton.classList.add("tenu");
  envoyer({ t: "press", d });
  battre();
}
function relacher(d) {
  if (!tenus.has(d)) return;
  tenus.delete(d);
  document.querySelector('.dir[data-d="' + d + '"]').classList.remove("tenu");
  envoyer({ t: "release", d });
  battre();
}
function toutRelacher(avertir = true) {
  for (const d of [...tenus]) avertir ? relacher(d) : tenus.delete(d);
  for (const b of document.querySelectorAll(".dir")) b.classList.remove("tenu");
  battre();
}
for (const b of document.querySelectorAll(".dir")) {
  const d = b.dataset.d;
  b.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    try { b.setPointerCapture(e.pointerId); } catch (err) {}
    appuyer(d, b);
  });
  for (const fin of ["pointerup", "pointercancel", "lostpointercapture"])
    b.addEventListener(fin, () => relacher(d));
  b.addEventListener("contextmenu", (e) => e.preventDefault());
  // A keyboard user holds the key: press on keydown, end on keyup or leaving the button.
  b.addEventListener("keydown", (e) => { if ((e.key === " " || e.key === "Enter") && !e.repeat) { e.preventDefault(); appuyer(d, b); } });
  b.addEventListener("keyup", (e) => { if (e.key === " " || e.key === "Enter") relacher(d); });
  b.addEventListener("blur", () => relacher(d));
}
document.addEventListener("visibilitychange", () => { if (document.hidden) toutRelacher(); });
window.addEventListener("pagehide", () => toutRelacher());
window.addEventListener("beforeunload", () => toutRelacher());
window.addEventListener("blur", () => toutRelacher());

// ---- speeds and autoguiding ----
for (const r of document.querySelectorAll("input[name=v]"))
  r.addEventListener("change", () => envoyer({ t: "speed", i: Number(r.value) }));
$("auto").addEventListener("change", (e) => envoyer({ t: "auto", on: e.target.checked }));

// ---- target ----
const objet = $("objet"), liste = $("propositions");
objet.addEventListener("input", () => envoyer({ t: "search", q: objet.value }));
objet.addEventListener("keydown", (e) => {
  if (e.key !== "Enter") return;
  e.preventDefault();
  // Enter takes the first suggestion.
  envoyer({ t: "choose", q: dernierePropositions.length ? dernierePropositions[0] : objet.value });
  cacherPropositions();
});
function propositions(q, list) {
  if (q !== objet.value) return;
  dernierePropositions = list;
  liste.replaceChildren(...list.map((libelle) => {
    const li = document.createElement("li");
    const b = document.createElement("button");
    b.type = "button"; b.textContent = libelle; b.setAttribute("role", "option");
    b.addEventListener("click", () => { envoyer({ t: "choose", q: libelle }); cacherPropositions(); });
    li.append(b); return li;
  }));
  liste.hidden = !list.length;
  objet.setAttribute("aria-expanded", String(!!list.length));
}
function cacherPropositions() { liste.hidden = true; objet.setAttribute("aria-expanded", "false"); }
const idsChamps = ["EdtADrefHrs", "EdtADrefMin", "EdtADrefSec", "EdtDECrefDeg", "EdtDECrefMin", "EdtDECrefSec"];
function champs(f, label) { idsChamps.forEach((id, i) => { $(id).value = f[i]; }); if (label) objet.value = label; }
// A planetarium's text pasted into the field: the server reads it as the window reads the clipboard.
$("Btn_recup_clipboard").addEventListener("click", () => envoyer({ t: "paste", text: $("colle").value }));
function lireChamps() { return idsChamps.map((id) => $(id).value); }
$("BtnGOTO").addEventListener("click", () => envoyer({ t: "goto", f: lireChamps() }));
$("btninitialisation").addEventListener("click", () => envoyer({ t: "init", f: lireChamps() }));
$("btnAligner").addEventListener("click", () => envoyer({ t: "align", f: lireChamps() }));

// ---- questions: boxes drawn by the page, so that the heartbeat never stops ----
const fond = $("fond");
function boite(texte, id, okParDefaut) {
  questionId = id;
  $("question").textContent = texte;
  $("annuler").hidden = id === null;
  fond.hidden = false;
  (okParDefaut ? $("ok") : $("annuler")).focus();
}
function fermerBoite() { fond.hidden = true; questionId = null; }
function repondre(ok) {
  if (questionId !== null) envoyer({ t: "answer", id: questionId, ok });
  fermerBoite();
}
$("ok").addEventListener("click", () => repondre(true));
$("annuler").addEventListener("click", () => repondre(false));
fond.addEventListener("keydown", (e) => { if (e.key === "Escape") repondre(false); });

// ---- night look, remembered by this browser ----
const nuit = $("nuit");
nuit.checked = document.documentElement.classList.contains("nuit");
nuit.addEventListener("change", () => {
  document.documentElement.classList.toggle("nuit", nuit.checked);
  try { localStorage.setItem("selvane-nuit", nuit.checked ? "1" : "0"); } catch (e) {}
});

connecter();

// The page's texts in the program's four languages; ?lang=en|de|sv|es chooses, else the
// browser's language, else English.
(function (root) {
  "use strict";

  const STRINGS = {
    en: {
      title: "ZARK range",
      lanes: "Lanes",
      ranking: "Ranking",
      back: "All lanes",
      connecting: "Connecting to the range…",
      connected: "Live",
      reconnecting: "Connection lost, reconnecting…",
      refused: "The range refused the page's user (see config.js).",
      noLanes: "No lane is on the range yet.",
      offline: "offline",
      last: "Last",
      total: "Total",
      shots: "Shots",
      of: "of",
      rank: "Place",
      lane: "Lane",
      shooter: "Shooter",
      score: "Score",
      direction: "Direction",
      clock: "{h} o'clock",
      time: "Time",
      sighter: "sighter",
      late: "late",
      noShots: "No shot yet.",
      idle: "idle",
      sighters: "sighters",
      series: "series",
      match: "match",
      timed: "timed series",
    },
    de: {
      title: "ZARK Schießstand",
      lanes: "Stände",
      ranking: "Rangliste",
      back: "Alle Stände",
      connecting: "Verbindung zum Schießstand…",
      connected: "Live",
      reconnecting: "Verbindung unterbrochen, verbinde neu…",
      refused: "Der Schießstand hat den Benutzer der Seite abgewiesen (siehe config.js).",
      noLanes: "Noch kein Stand ist online.",
      offline: "offline",
      last: "Letzter",
      total: "Gesamt",
      shots: "Schüsse",
      of: "von",
      rank: "Platz",
      lane: "Stand",
      shooter: "Schütze",
      score: "Wertung",
      direction: "Richtung",
      clock: "{h} Uhr",
      time: "Zeit",
      sighter: "Probe",
      late: "zu spät",
      noShots: "Noch kein Schuss.",
      idle: "bereit",
      sighters: "Probe",
      series: "Serie",
      match: "Wettkampf",
      timed: "Zeitserie",
    },
    sv: {
      title: "ZARK skjutbana",
      lanes: "Banor",
      ranking: "Resultatlista",
      back: "Alla banor",
      connecting: "Ansluter till skjutbanan…",
      connected: "Live",
      reconnecting: "Anslutningen bröts, ansluter igen…",
      refused: "Skjutbanan nekade sidans användare (se config.js).",
      noLanes: "Ingen bana är ansluten ännu.",
      offline: "frånkopplad",
      last: "Senaste",
      total: "Summa",
      shots: "Skott",
      of: "av",
      rank: "Plats",
      lane: "Bana",
      shooter: "Skytt",
      score: "Poäng",
      direction: "Riktning",
      clock: "klockan {h}",
      time: "Tid",
      sighter: "provskott",
      late: "för sent",
      noShots: "Inget skott ännu.",
      idle: "väntar",
      sighters: "provskott",
      series: "serie",
      match: "tävling",
      timed: "tidsserie",
    },
    es: {
      title: "ZARK galería de tiro",
      lanes: "Puestos",
      ranking: "Clasificación",
      back: "Todos los puestos",
      connecting: "Conectando con la galería…",
      connected: "En directo",
      reconnecting: "Conexión perdida, reconectando…",
      refused: "La galería rechazó el usuario de la página (ver config.js).",
      noLanes: "Todavía no hay ningún puesto conectado.",
      offline: "desconectado",
      last: "Último",
      total: "Total",
      shots: "Disparos",
      of: "de",
      rank: "Puesto",
      lane: "Puesto",
      shooter: "Tirador",
      score: "Puntos",
      direction: "Dirección",
      clock: "a las {h}",
      time: "Tiempo",
      sighter: "ensayo",
      late: "tarde",
      noShots: "Ningún disparo todavía.",
      idle: "en espera",
      sighters: "ensayo",
      series: "serie",
      match: "competición",
      timed: "serie cronometrada",
    },
  };

  // The language asked for: the query's lang, else the first of the browser's languages the
  // page has, else English.
  function chooseLanguage(query, browserLanguages) {
    const wanted = [];
    if (query) wanted.push(query);
    for (const l of browserLanguages || []) wanted.push(l);
    for (const w of wanted) {
      const code = String(w).toLowerCase().slice(0, 2);
      if (STRINGS[code]) return code;
    }
    return "en";
  }

  const api = { STRINGS: STRINGS, chooseLanguage: chooseLanguage };
  if (typeof module !== "undefined" && module.exports) module.exports = api;
  else root.ZarkStrings = api;
})(this);
